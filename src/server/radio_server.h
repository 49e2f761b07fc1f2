#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "server/listen_endpoint.h"
#include "server/radio_access.h"
#include "server/transmit_watchdog.h"

namespace kestrel {

// The longest rigctld command line: a client whose line reaches it gets an error and is dropped.
inline constexpr size_t kMaxRigctlLineBytes = 64 * 1024;
// The most clients the server serves at once; more are turned away.
inline constexpr size_t kMaxShareClients = 32;

// What the sharing servers serve and how.
struct ServerOptions {
    std::optional<ListenEndpoint> rigctl;  // the rigctld protocol (--listen)
    std::optional<ListenEndpoint> xmlrpc;  // flrig's XML-RPC (--xmlrpc)
    bool allowRaw = false;                 // raw commands "w" and rig.cat_string (--allow-raw)
    int64_t transmitIdleMs = kDefaultTransmitIdleMs;
};

// What the panel shows of the servers.
struct ServerStatus {
    int clients = 0;
    std::string keyingClient;  // the client whose transmission runs ("rigctl 127.0.0.1:50123")

    bool operator==(const ServerStatus&) const = default;
};

// The network servers that let other programs share the radio: one thread runs a poll loop over
// the listening sockets and every client, answers reads from the store and passes settings to
// the radio in the order they arrive. Nothing it does waits on the radio or on another thread.
class RadioServer {
  public:
    using StatusListener = std::function<void(const ServerStatus&)>;
    using Clock = std::function<int64_t()>;

    // clock: milliseconds of a monotonic clock (the steady clock when empty).
    explicit RadioServer(RadioAccess& radio, Clock clock = {});
    ~RadioServer();
    RadioServer(const RadioServer&) = delete;
    RadioServer& operator=(const RadioServer&) = delete;

    // Sets the function told of every change of the status; it runs on the server's thread and
    // must not block. Set it before Start.
    void SetStatusListener(StatusListener listener) { statusListener_ = std::move(listener); }
    // Opens the listening sockets the options name and starts the thread. False with error set
    // when a socket cannot be opened (nothing is then left open) or the server already runs.
    bool Start(const ServerOptions& options, std::string& error);
    // Ends a client's transmission if one runs, closes every socket and joins the thread.
    void Stop();
    // Reports whether the server runs.
    bool Running() const { return thread_.joinable(); }
    // Returns the port the rigctld listener is bound to (0 when it is not open).
    uint16_t RigctlPort() const { return rigctlPort_; }
    // Returns the port the XML-RPC listener is bound to (0 when it is not open).
    uint16_t XmlrpcPort() const { return xmlrpcPort_; }
    // Returns the current status; safe from any thread.
    ServerStatus Status() const;

  private:
    struct Loop;

    RadioAccess& radio_;
    Clock clock_;
    StatusListener statusListener_;
    std::unique_ptr<Loop> loop_;
    std::thread thread_;
    uint16_t rigctlPort_ = 0;
    uint16_t xmlrpcPort_ = 0;
    mutable std::mutex statusMutex_;
    ServerStatus status_;
};

}  // namespace kestrel
