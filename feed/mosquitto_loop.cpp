// The libmosquitto side of a feed source: the socket read and written as Qt's notifiers say, the
// library's housekeeping, and the notes its callbacks take for the source to act on.
#include "mosquitto_loop.h"
#include "feed_source.h"

#include <QSocketNotifier>

#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>
#include <system_error>
#include <utility>

namespace ionvane::feed {

namespace {

// Most packets read in one wake-up of the socket: 64 reports are about 16 KB. Reading on while
// packets wait saves a round through the event loop (a poll and a dispatch) per report, which
// cost about a fifth of a report's time in a burst; the bound lets the timers and a window in the
// same event loop have their turn during a flood.
constexpr int MaxPacketsPerWakeUp = 64;

// Bytes of the connection on `socket` taken off it so far: those the system received less those
// still waiting; none when the system cannot tell.
std::optional<std::uint64_t> BytesTaken(int socket) {
    tcp_info info{};
    socklen_t size = sizeof info;
    int waiting = 0;
    if (socket < 0 || getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 ||
        size < offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received ||
        ioctl(socket, FIONREAD, &waiting) != 0 || waiting < 0 ||
        info.tcpi_bytes_received < static_cast<std::uint64_t>(waiting)) {
        return std::nullopt;
    }
    return info.tcpi_bytes_received - static_cast<std::uint64_t>(waiting);
}

} // namespace

std::string LibraryText(int code, int savedErrno) {
    if (code == MOSQ_ERR_ERRNO) {
        return std::error_code(savedErrno, std::system_category()).message();
    }
    return mosquitto_strerror(code);
}

void FeedSource::ReadReady() {
    for (int packet = 0; packet < MaxPacketsPerWakeUp && Client != nullptr; ++packet) {
        // libmosquitto reads one packet a call, and tells that the socket had nothing more (or
        // only part of a packet) by a success with errno EAGAIN, as its own loop checks it.
        const int socket = mosquitto_socket(Client);
        PacketTold = false;
        errno = 0;
        const int code = mosquitto_loop_read(Client, 1);
        const int savedErrno = errno;
        // libmosquitto 2.0 takes any packet length the broker writes, and holds the whole packet
        // before telling of it: the bytes it took since the last packet it told of are counted.
        std::uint64_t packetBytes = 0;
        if (const auto taken = BytesTaken(socket)) {
            // The packet told of, or the one being read; the next starts after the one told of.
            packetBytes = *taken - std::min(*taken, PacketStart);
            if (PacketTold) {
                PacketStart = *taken;
            }
        }
        const unsigned generation = Generation;
        AfterLibraryCall(code, savedErrno);
        if (Generation == generation && packetBytes > MaxPacketBytes) {
            Fail("The broker sent a packet longer than " + std::to_string(MaxPacketBytes) +
                 " bytes");
            return;
        }
        if (code != MOSQ_ERR_SUCCESS || Generation != generation || savedErrno == EAGAIN ||
            savedErrno == EWOULDBLOCK) {
            return;
        }
    }
}

void FeedSource::WriteReady() {
    if (Client == nullptr) {
        return;
    }
    const int code = mosquitto_loop_write(Client, 1);
    AfterLibraryCall(code, errno);
}

void FeedSource::Housekeep() {
    if (Client == nullptr) {
        return;
    }
    const int code = mosquitto_loop_misc(Client);
    // Before the TCP connection completes there is nothing to keep.
    AfterLibraryCall(code == MOSQ_ERR_NO_CONN ? MOSQ_ERR_SUCCESS : code, errno);
}

void FeedSource::AfterLibraryCall(int code, int savedErrno) {
    const unsigned generation = Generation;
    ActOnNotes();
    if (Generation != generation || Client == nullptr) {
        return;
    }
    if (code != MOSQ_ERR_SUCCESS) {
        Fail("Connection lost: " + LibraryText(code, savedErrno));
        return;
    }
    WatchWrites();
}

void FeedSource::ActOnNotes() {
    const unsigned generation = Generation;
    std::vector<Note> notes;
    notes.swap(Notes);
    for (const Note &note : notes) {
        if (Generation != generation) {
            return; // the session ended in a slot of an earlier note's event
        }
        if (const auto *connack = std::get_if<ConnackNote>(&note)) {
            Connected(connack->Code);
        } else if (const auto *suback = std::get_if<SubackNote>(&note)) {
            Subscribed(*suback);
        } else if (const auto *message = std::get_if<MessageNote>(&note)) {
            Received(*message);
        } else if (const auto *disconnect = std::get_if<DisconnectNote>(&note)) {
            Fail("Connection lost: " + std::string(mosquitto_strerror(disconnect->Code)));
        }
    }
}

void FeedSource::WatchWrites() {
    if (Client != nullptr && WriteNotifier != nullptr) {
        WriteNotifier->setEnabled(mosquitto_want_write(Client));
    }
}

void FeedSource::OnConnect(mosquitto * /*client*/, void *self, int code) {
    static_cast<FeedSource *>(self)->PacketTold = true;
    static_cast<FeedSource *>(self)->Notes.emplace_back(ConnackNote{code});
}

void FeedSource::OnSubscribe(mosquitto * /*client*/, void *self, int messageId, int count,
                             const int *granted) {
    static_cast<FeedSource *>(self)->PacketTold = true;
    SubackNote note{messageId, {}};
    if (granted != nullptr && count > 0) {
        note.Granted.assign(granted, granted + count);
    }
    static_cast<FeedSource *>(self)->Notes.emplace_back(std::move(note));
}

void FeedSource::OnMessage(mosquitto * /*client*/, void *self, const mosquitto_message *message) {
    static_cast<FeedSource *>(self)->PacketTold = true;
    if (message == nullptr || message->topic == nullptr) {
        return;
    }
    MessageNote note;
    note.Topic = message->topic;
    if (message->payload != nullptr && message->payloadlen > 0) {
        // The reader refuses anything past MaxPayloadBytes; keeping twice that is enough to
        // tell, even after control characters are taken out.
        const auto kept =
            std::min(static_cast<std::size_t>(message->payloadlen), 2 * MaxPayloadBytes + 2);
        note.Payload.assign(static_cast<const char *>(message->payload), kept);
    }
    static_cast<FeedSource *>(self)->Notes.emplace_back(std::move(note));
}

void FeedSource::OnDisconnect(mosquitto * /*client*/, void *self, int code) {
    static_cast<FeedSource *>(self)->Notes.emplace_back(DisconnectNote{code});
}

} // namespace ionvane::feed
