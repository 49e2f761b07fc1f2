#include "server/radio_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <list>
#include <vector>

#include "server/flrig_service.h"
#include "server/http_framing.h"
#include "server/rigctl_session.h"
#include "server/share_context.h"

namespace kestrel {

namespace {

constexpr size_t kReadChunk = 16 * 1024;
// A client that does not read its answers is not read from until it has taken these.
constexpr size_t kMaxPendingOutput = 256 * 1024;
// Hamlib's protocol error, for a line past the limit.
constexpr int kRigProtocolError = -8;

enum class Protocol : uint8_t { Rigctl, Xmlrpc };

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string PeerName(int fd) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
        return "?";
    }
    char text[INET6_ADDRSTRLEN] = "?";
    if (peer.ss_family == AF_INET6) {
        const auto* a = reinterpret_cast<sockaddr_in6*>(&peer);
        inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
        return "[" + std::string(text) + "]:" + std::to_string(ntohs(a->sin6_port));
    }
    const auto* a = reinterpret_cast<sockaddr_in*>(&peer);
    inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(a->sin_port));
}

struct Connection {
    int fd = -1;
    uint64_t id = 0;
    Protocol protocol = Protocol::Rigctl;
    std::string name;
    std::string input;
    std::string output;
    bool closing = false;  // close once the output is written
    bool gone = false;     // close now
    std::unique_ptr<RigctlSession> rigctl;
};

}  // namespace

struct RadioServer::Loop {
    Loop(RadioAccess& radio, const ServerOptions& options, RadioServer::Clock clock)
        : watchdog(options.transmitIdleMs),
          context{radio, watchdog, options.allowRaw, std::move(clock)},
          flrig(context) {}

    ~Loop() {
        for (Connection& c : connections) {
            ::close(c.fd);
        }
        for (const int fd : {rigctlListener, xmlrpcListener, wakeRead, wakeWrite}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    void Run(const std::function<void(const ServerStatus&)>& publish);
    void Accept(int listener, Protocol protocol);
    void Receive(Connection& c);
    void Process(Connection& c);
    void Send(Connection& c);
    void TransmitOff() { context.radio.SetTransmit(false); }
    ServerStatus CurrentStatus() const;

    TransmitWatchdog watchdog;
    ShareContext context;
    FlrigService flrig;
    int rigctlListener = -1;
    int xmlrpcListener = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::atomic<bool> stop{false};
    std::list<Connection> connections;
    uint64_t nextId = 1;
    bool statusChanged = true;
};

ServerStatus RadioServer::Loop::CurrentStatus() const {
    ServerStatus status;
    status.clients = static_cast<int>(connections.size());
    if (const auto keying = watchdog.KeyingClient()) {
        for (const Connection& c : connections) {
            if (c.id == *keying) {
                status.keyingClient = c.name;
            }
        }
    }
    return status;
}

void RadioServer::Loop::Accept(int listener, Protocol protocol) {
    while (true) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;  // EAGAIN: no one else waits; other errors end with the next poll
        }
        if (connections.size() >= kMaxShareClients) {
            ::close(fd);
            continue;
        }
        // Answers are short and each is awaited: send them without delay.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Connection& c = connections.emplace_back();
        c.fd = fd;
        c.id = nextId++;
        c.protocol = protocol;
        c.name = (protocol == Protocol::Rigctl ? "rigctl " : "xmlrpc ") + PeerName(fd);
        if (protocol == Protocol::Rigctl) {
            c.rigctl = std::make_unique<RigctlSession>(context, c.id);
        }
        statusChanged = true;
    }
}

void RadioServer::Loop::Receive(Connection& c) {
    char chunk[kReadChunk];
    const ssize_t n = ::recv(c.fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n == 0) {
        c.gone = true;
        return;
    }
    if (n < 0) {
        c.gone = errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
        return;
    }
    c.input.append(chunk, static_cast<size_t>(n));
    Process(c);
}

void RadioServer::Loop::Process(Connection& c) {
    const std::optional<uint64_t> keyingBefore = watchdog.KeyingClient();
    if (c.protocol == Protocol::Rigctl) {
        size_t start = 0;
        for (size_t end; !c.closing && (end = c.input.find('\n', start)) != std::string::npos;
             start = end + 1) {
            std::string_view line(c.input.data() + start, end - start);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            watchdog.NoteActivity(context.nowMs());
            c.closing = !c.rigctl->HandleLine(line, c.output);
        }
        c.input.erase(0, start);
        if (!c.closing && c.input.size() >= kMaxRigctlLineBytes) {
            c.output += "RPRT " + std::to_string(kRigProtocolError) + "\n";
            c.closing = true;
        }
    } else {
        while (!c.closing) {
            HttpRequest request;
            int errorStatus = 0;
            const HttpTake take = TakeHttpRequest(c.input, request, errorStatus);
            if (take == HttpTake::NeedMore) {
                break;
            }
            if (take == HttpTake::Error) {
                c.output += HttpResponse(errorStatus, "the request cannot be served\n", false);
                c.closing = true;
                break;
            }
            watchdog.NoteActivity(context.nowMs());
            c.output += HttpResponse(200, flrig.Call(request.body, c.id), request.keepAlive);
            c.closing = !request.keepAlive;
        }
    }
    if (c.closing) {
        c.input.clear();
    }
    statusChanged = statusChanged || watchdog.KeyingClient() != keyingBefore;
}

void RadioServer::Loop::Send(Connection& c) {
    while (!c.output.empty()) {
        const ssize_t n =
            ::send(c.fd, c.output.data(), c.output.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            c.gone = errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
            return;
        }
        c.output.erase(0, static_cast<size_t>(n));
    }
    c.gone = c.gone || c.closing;
}

void RadioServer::Loop::Run(const std::function<void(const ServerStatus&)>& publish) {
    std::vector<pollfd> fds;
    std::vector<Connection*> polled;
    while (!stop.load()) {
        fds.clear();
        polled.clear();
        fds.push_back({wakeRead, POLLIN, 0});
        fds.push_back({rigctlListener, POLLIN, 0});
        fds.push_back({xmlrpcListener, POLLIN, 0});
        for (Connection& c : connections) {
            short events = 0;
            if (!c.closing && c.output.size() < kMaxPendingOutput) {
                events |= POLLIN;
            }
            if (!c.output.empty()) {
                events |= POLLOUT;
            }
            fds.push_back({c.fd, events, 0});
            polled.push_back(&c);
        }
        int timeoutMs = -1;
        if (const auto deadline = watchdog.Deadline()) {
            timeoutMs =
                static_cast<int>(std::clamp<int64_t>(*deadline - context.nowMs(), 0, 60000));
        }
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            char drain[64];
            while (::read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
        for (size_t i = 0; i < polled.size(); ++i) {
            Connection& c = *polled[i];
            const short revents = fds[i + 3].revents;
            if ((revents & POLLIN) != 0) {
                Receive(c);
            } else if ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                c.gone = true;
            }
            if (!c.gone) {
                Send(c);
            }
        }
        if ((fds[1].revents & POLLIN) != 0) {
            Accept(rigctlListener, Protocol::Rigctl);
        }
        if ((fds[2].revents & POLLIN) != 0) {
            Accept(xmlrpcListener, Protocol::Xmlrpc);
        }
        for (auto it = connections.begin(); it != connections.end();) {
            if (!it->gone) {
                ++it;
                continue;
            }
            if (watchdog.ClientGone(it->id)) {
                TransmitOff();
            }
            ::close(it->fd);
            it = connections.erase(it);
            statusChanged = true;
        }
        if (watchdog.Expired(context.nowMs())) {
            TransmitOff();
            statusChanged = true;
        }
        if (statusChanged) {
            statusChanged = false;
            publish(CurrentStatus());
        }
    }
    if (watchdog.KeyingClient()) {
        TransmitOff();
    }
    connections.clear();
    publish(ServerStatus{});
}

RadioServer::RadioServer(RadioAccess& radio, Clock clock)
    : radio_(radio), clock_(clock ? std::move(clock) : Clock(SteadyMs)) {}

RadioServer::~RadioServer() {
    Stop();
}

bool RadioServer::Start(const ServerOptions& options, std::string& error) {
    if (Running()) {
        error = "the server already runs";
        return false;
    }
    auto loop = std::make_unique<Loop>(radio_, options, clock_);
    uint16_t rigctlPort = 0;
    uint16_t xmlrpcPort = 0;
    if (options.rigctl &&
        (loop->rigctlListener = OpenListener(*options.rigctl, rigctlPort, error)) < 0) {
        return false;
    }
    if (options.xmlrpc &&
        (loop->xmlrpcListener = OpenListener(*options.xmlrpc, xmlrpcPort, error)) < 0) {
        return false;
    }
    int wake[2];
    if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = "no pipe for the server thread";
        return false;
    }
    loop->wakeRead = wake[0];
    loop->wakeWrite = wake[1];
    rigctlPort_ = rigctlPort;
    xmlrpcPort_ = xmlrpcPort;
    loop_ = std::move(loop);
    thread_ = std::thread([this, loop = loop_.get()] {
        loop->Run([this](const ServerStatus& status) {
            {
                std::lock_guard lock(statusMutex_);
                status_ = status;
            }
            if (statusListener_) {
                statusListener_(status);
            }
        });
    });
    return true;
}

void RadioServer::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    loop_->stop.store(true);
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = ::write(loop_->wakeWrite, &wake, 1);
    thread_.join();
    loop_.reset();
    rigctlPort_ = 0;
    xmlrpcPort_ = 0;
}

ServerStatus RadioServer::Status() const {
    std::lock_guard lock(statusMutex_);
    return status_;
}

}  // namespace kestrel
