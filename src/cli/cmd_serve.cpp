// serve: the instrument under remote control, SCPI over raw TCP, several
// clients at once, their commands carried out one at a time in the order
// they arrive. Sockets and the event loop are standalone Asio's; the
// parsing, the sessions and the instrument's tree live in the core
// (scpi/, remote/).
#include <asio.hpp>
#include <deque>
#include <iostream>
#include <list>
#include <memory>
#include <ostream>

#include "cli/cli.h"
#include "common/text.h"
#include "hw/dds.h"
#include "remote/commands.h"
#include "scpi/session.h"

namespace kolm::cli {

namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// Longest message a client may send, and most bytes of replies a client may
// leave unread before it is cut off.
constexpr size_t kLongestMessage = 64 * 1024;
constexpr size_t kMostUnread = 64 * 1024 * 1024;
// Most messages a client may send ahead while its session waits.
constexpr size_t kMostQueued = 1024;
// How long the instrument works before the network is looked at again.
constexpr auto kSlice = std::chrono::milliseconds(3);

class Server;

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(Server& server, tcp::socket socket, int id);
  void start() { read(); }
  void close();
  // Carries out what is queued, as far as the session may go.
  void carryOn();
  bool waiting() const { return session_.waiting(); }
  scpi::Session& session() { return session_; }
  int id() const { return id_; }

 private:
  void read();
  void send(std::string text);
  void write();

  Server& server_;
  tcp::socket socket_;
  int id_;
  scpi::Session session_;
  scpi::MessageFramer framer_{kLongestMessage};
  std::deque<std::string> queued_;
  std::deque<std::string> unsent_;
  size_t unsentBytes_ = 0;
  bool writing_ = false;
  bool closed_ = false;
  std::array<char, 16384> buffer_{};
};

class Server {
 public:
  Server(asio::io_context& io, Context& ctx, tcp::endpoint endpoint)
      : io_(io),
        acceptor_(io, endpoint),
        work_(io),
        watch_(io),
        station_(ctx.instrument, ctx.settings) {
    remote::addCommands(tree_, station_);
  }
  tcp::endpoint endpoint() const { return acceptor_.local_endpoint(); }
  void start() {
    accept();
    watch();
  }
  const scpi::CommandTree& tree() const { return tree_; }
  remote::Station& station() { return station_; }
  void gone(const std::shared_ptr<Connection>& c) {
    clients_.remove(c);
    station_.clientGone(c->id());
    afterChange();
  }
  // The instrument's state may have changed: sessions that waited go on in
  // the order they began to wait, and the instrument works on.
  void afterChange();

 private:
  void accept();
  void watch();
  void schedule();

  asio::io_context& io_;
  tcp::acceptor acceptor_;
  asio::steady_timer work_;
  asio::steady_timer watch_;
  bool workPending_ = false;
  Clock::time_point nextWork_{};
  scpi::CommandTree tree_;
  remote::Station station_;
  std::list<std::shared_ptr<Connection>> clients_;
  int nextId_ = 1;
};

Connection::Connection(Server& server, tcp::socket socket, int id)
    : server_(server),
      socket_(std::move(socket)),
      id_(id),
      session_(server.tree(), server.station()) {
  session_.client = id;
  asio::error_code ignored;
  socket_.set_option(tcp::no_delay(true), ignored);
}

void Connection::close() {
  if (closed_) return;
  closed_ = true;
  asio::error_code ignored;
  socket_.shutdown(tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  server_.gone(shared_from_this());
}

void Connection::read() {
  socket_.async_read_some(
      asio::buffer(buffer_), [self = shared_from_this()](const asio::error_code& ec, size_t n) {
        if (ec) {
          self->close();
          return;
        }
        std::vector<std::string> messages;
        self->framer_.feed(std::string_view(self->buffer_.data(), n), messages);
        for (auto& m : messages) {
          if (self->queued_.size() >= kMostQueued) {
            self->session_.error(scpi::kInputBufferOverrun, "too many messages ahead");
            continue;
          }
          self->queued_.push_back(std::move(m));
        }
        self->carryOn();
        self->server_.afterChange();
        if (!self->closed_) self->read();
      });
}

void Connection::carryOn() {
  if (closed_) return;
  if (session_.waiting() && !session_.resume()) return;
  if (!session_.waiting()) {
    if (auto r = session_.takeResponse(); !r.empty()) send(std::move(r));
  }
  while (!queued_.empty() && !session_.waiting() && !closed_) {
    std::string message = std::move(queued_.front());
    queued_.pop_front();
    if (message == scpi::MessageFramer::kOverrun) {
      session_.error(
          scpi::kTooMuchData,
          "a message longer than " + std::to_string(kLongestMessage) + " bytes was dropped");
      continue;
    }
    if (session_.run(std::move(message))) {
      if (auto r = session_.takeResponse(); !r.empty()) send(std::move(r));
    }
  }
}

void Connection::send(std::string text) {
  unsentBytes_ += text.size();
  if (unsentBytes_ > kMostUnread) {
    // A client that never reads its replies is cut off before it fills memory.
    close();
    return;
  }
  unsent_.push_back(std::move(text));
  write();
}

void Connection::write() {
  if (writing_ || unsent_.empty() || closed_) return;
  writing_ = true;
  asio::async_write(socket_, asio::buffer(unsent_.front()),
                    [self = shared_from_this()](const asio::error_code& ec, size_t) {
                      self->writing_ = false;
                      if (ec) {
                        self->close();
                        return;
                      }
                      self->unsentBytes_ -= self->unsent_.front().size();
                      self->unsent_.pop_front();
                      self->write();
                    });
}

void Server::accept() {
  acceptor_.async_accept([this](const asio::error_code& ec, tcp::socket socket) {
    if (!acceptor_.is_open()) return;
    if (!ec) {
      auto c = std::make_shared<Connection>(*this, std::move(socket), nextId_++);
      clients_.push_back(c);
      c->start();
    }
    accept();
  });
}

// Stop signals are looked at every 20 ms: the generator off, every client
// closed, the loop ended.
void Server::watch() {
  watch_.expires_after(std::chrono::milliseconds(20));
  watch_.async_wait([this](const asio::error_code& ec) {
    if (ec) return;
    if (stopSignal()) {
      station_.abort();
      asio::error_code ignored;
      acceptor_.close(ignored);
      io_.stop();
      return;
    }
    watch();
  });
}

void Server::afterChange() {
  if (const std::string failure = station_.takeFailure(); !failure.empty())
    for (auto& c : clients_) c->session().error(scpi::kHardwareError, failure);
  for (auto& c : clients_) c->session().poll();
  // A copy: a session that goes on may close its connection.
  const auto clients = clients_;
  for (auto& c : clients)
    if (c->waiting()) c->carryOn();
  schedule();
}

void Server::schedule() {
  if (workPending_ || !station_.running()) return;
  workPending_ = true;
  // Network events first, then the next slice: at once, or when the wait of
  // a point held open is over.
  work_.expires_at(nextWork_);
  work_.async_wait([this](const asio::error_code& ec) {
    workPending_ = false;
    if (ec) return;
    nextWork_ = station_.work(kSlice).value_or(Clock::now());
    afterChange();
  });
}

tcp::endpoint listenEndpoint(const std::string& text) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos)
    throw UsageError{"--listen: ADDRESS:PORT, not '" + common::shortened(text) + "'"};
  std::string host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  const double port = parseNumber(text.substr(colon + 1), "--listen port");
  if (port < 0 || port > 65535 || port != static_cast<int>(port))
    throw UsageError{"--listen: the port is a whole number from 0 to 65535"};
  asio::error_code ec;
  const auto address = asio::ip::make_address(host, ec);
  if (ec) throw UsageError{"--listen: '" + common::shortened(host) + "' is not an IP address"};
  return {address, static_cast<unsigned short>(port)};
}

int runServe(Context& ctx, Args& args) {
  const std::string listen = args.option("--listen").value_or("127.0.0.1:5025");
  args.finish();
  const tcp::endpoint endpoint = listenEndpoint(listen);
  if (!(ctx.instrument.params.refClockMHz > 0)) throw UsageError{hw::noClockMessage()};
  asio::io_context io;
  std::unique_ptr<Server> server;
  try {
    server = std::make_unique<Server>(io, ctx, endpoint);
  } catch (const asio::system_error& e) {
    throw UsageError{"--listen " + listen + ": " + e.code().message()};
  }
  server->start();
  const tcp::endpoint bound = server->endpoint();
  const std::string address = bound.address().is_v6() ? "[" + bound.address().to_string() + "]"
                                                      : bound.address().to_string();
  *ctx.out << "listening=" << address << ":" << bound.port() << "\n";
  endResult(ctx);
  *ctx.out << std::flush;
  io.run();
  server.reset();  // every client closed, the generator off
  ctx.outputOff = true;
  ctx.stopped = true;  // a stop signal is the server's only end
  *ctx.err << "serve: stopped; the generator is off\n";
  return 0;
}

}  // namespace

extern const Command kServeCommand{
    "serve",
    "serve [--listen ADDRESS:PORT]\n"
    "    Remote control: SCPI commands over raw TCP (default 127.0.0.1:5025; another\n"
    "    address than the loopback only when named; port 0 takes a free one). Prints\n"
    "    listening=ADDRESS:PORT once it accepts clients. Several clients at once,\n"
    "    their commands carried out in the order they arrive; the command tree is\n"
    "    in docs/remote.md. A stop signal switches the generator off and ends it;\n"
    "    so does, for its own output, a client that switched the generator on and\n"
    "    leaves (unless OUTPut:PERSistent ON).",
    runServe};

}  // namespace kolm::cli
