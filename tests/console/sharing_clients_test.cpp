// Real clients against kestrel-console --simulate: Hamlib's own network client (rigctl -m 2,
// from Debian's libhamlib-utils) and Python's standard XML-RPC client. Every wait is for an
// event (a line printed, an answer that changed) and is bounded.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace {

bool CommandExists(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command and returns what it printed on standard output.
std::string RunShell(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            output.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return output;
}

// kestrel-console in a fresh working directory, with pipes on its standard input and output.
class ConsoleProcess {
  public:
    explicit ConsoleProcess(const std::string& arguments) {
        char pattern[] = "/tmp/kestrel-share-test-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::close(in[1]);
            ::close(out[0]);
            if (::chdir(folder_.c_str()) == 0) {
                const std::string command = std::string(KESTREL_CONSOLE_BINARY) + " " + arguments;
                ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            }
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~ConsoleProcess() {
        Write("quit\n");
        ::close(input_);
        ::close(output_);
        if (pid_ > 0) {
            ::waitpid(pid_, nullptr, 0);
        }
        std::filesystem::remove_all(folder_);
    }
    void Write(const std::string& text) {
        [[maybe_unused]] const ssize_t n = ::write(input_, text.data(), text.size());
    }
    // Reads lines until one matches; returns the whole line and its groups, or nothing after
    // ten seconds or at the end of the output.
    std::vector<std::string> AwaitLine(const std::regex& pattern) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
                line_ = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                std::smatch match;
                if (std::regex_match(line_, match, pattern)) {
                    return {match.begin(), match.end()};
                }
            }
            pollfd fd{output_, POLLIN, 0};
            char buffer[4096];
            ssize_t n = 0;
            if (::poll(&fd, 1, 1000) > 0 && (n = ::read(output_, buffer, sizeof buffer)) <= 0) {
                break;
            }
            pending_.append(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0)));
        }
        return {};
    }
    // Starts the built-in radio with both servers on free loopback ports and connects.
    bool ConnectSharing() {
        const auto rigctl = AwaitLine(std::regex("sharing rigctl 127\\.0\\.0\\.1:(\\d+)"));
        const auto xmlrpc = AwaitLine(std::regex("sharing xmlrpc 127\\.0\\.0\\.1:(\\d+)"));
        if (rigctl.empty() || xmlrpc.empty()) {
            return false;
        }
        rigctlPort = rigctl[1];
        xmlrpcPort = xmlrpc[1];
        Write("post 1\n");
        // The identification answer: from here on the link is up.
        return !AwaitLine(std::regex("notify 0x8344")).empty();
    }

    std::string rigctlPort;
    std::string xmlrpcPort;

  private:
    std::string folder_;
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
    std::string line_;
};

constexpr const char* kArguments = "--simulate --listen 127.0.0.1:0 --xmlrpc 127.0.0.1:0";

TEST(SharingClients, HamlibNetworkClientDrivesTheSimulatedRadio) {
    if (!CommandExists("rigctl")) {
        GTEST_SKIP() << "rigctl (libhamlib-utils) is not installed";
    }
    ConsoleProcess console(kArguments);
    ASSERT_TRUE(console.ConnectSharing());
    const std::string rigctl = "rigctl -m 2 -r 127.0.0.1:" + console.rigctlPort + " ";
    // (rigctl 4.5 itself prints nothing for \get_powerstat over model 2 and reads the argument
    // of \set_powerstat as a command of its own, with rigctld -m 1 as well: those two are left to
    // the protocol tests.)
    EXPECT_EQ(RunShell(rigctl + "F 14074000 M PKTUSB 0 T 1 T 0 S 1 VFOB I 14076000 L RFPOWER 0.5 "
                                "U LOCK 1 L PREAMP 20 2>&1"),
              "");
    // Settings reach the store only when the radio reports them: ask until it has.
    const std::string expected =
        "14074000\nPKTUSB\n2400\nVFOA\n0\n1\nVFOB\n14076000\n0.500000\n1\n20\n";
    std::string answers;
    for (int attempt = 0; attempt < 200 && answers != expected; ++attempt) {
        answers = RunShell(rigctl + "f m v t s i l RFPOWER u LOCK l PREAMP");
    }
    EXPECT_EQ(answers, expected);
    // What the radio does not report, and what is not a command, are errors, not crashes.
    // (The simulated radio's lower meter shows ALC, not SWR.)
    EXPECT_NE(RunShell(rigctl + "l SWR 2>&1").find("Feature not available"), std::string::npos);
}

TEST(SharingClients, PythonXmlrpcClientDrivesTheSimulatedRadio) {
    if (!CommandExists("python3")) {
        GTEST_SKIP() << "python3 is not installed";
    }
    ConsoleProcess console(kArguments);
    ASSERT_TRUE(console.ConnectSharing());
    const std::string script = R"(
import http.client, sys, time, xmlrpc.client
rig = xmlrpc.client.ServerProxy("http://127.0.0.1:)" +
                               console.xmlrpcPort + R"(/RPC2")
rig.rig.set_vfoA(7074000.0)
rig.rig.set_mode("PKT-U")
rig.rig.set_ptt(1)
rig.rig.set_ptt(0)
rig.rig.set_power(40)
def settled():
    return (rig.rig.get_vfoA(), rig.rig.get_mode(), rig.rig.get_ptt(), rig.rig.get_power())
for _ in range(500):
    if settled() == ("7074000", "PKT-U", 0, 40):
        break
    time.sleep(0.01)
print(settled())
print(rig.rig.get_xcvr(), rig.main.get_version(), "rig.cat_string" in rig.system.listMethods())
for call in (lambda: rig.rig.set_mode("NOPE"), lambda: rig.rig.cat_string("FA;"),
             lambda: rig.rig.no_such_method()):
    try:
        call()
        print("no fault")
    except xmlrpc.client.Fault as fault:
        print("fault")
c = http.client.HTTPConnection("127.0.0.1", )" +
                               console.xmlrpcPort + R"()
c.request("POST", "/RPC2", body="<methodCall><methodName>rig.get_vfo", headers={"Content-Type": "text/xml"})
r = c.getresponse()
print(r.status, b"faultCode" in r.read())
c.request("PUT", "/RPC2", body="x")
print(c.getresponse().status)
)";
    EXPECT_EQ(
        RunShell("python3 -c '" + script + "'"),
        "('7074000', 'PKT-U', 0, 40)\nKestrel 1.4.0 True\nfault\nfault\nfault\n200 True\n405\n");
}

}  // namespace
