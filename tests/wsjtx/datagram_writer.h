// Datagrams as WSJT-X writes them: a QDataStream, big-endian, written here from the published
// layout independently of the program's hand-made reader.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

#include <cstdint>
#include <string>

namespace ionvane::wsjtx::test {

struct Writer {
    explicit Writer(quint32 type, quint32 schema = 2, const char *id = "WSJT-X",
                    quint32 magic = 0xADBCCBDA)
        : Out(&Bytes, QIODevice::WriteOnly) {
        Out << magic << schema << type;
        Text(id);
    }
    // A null pointer writes a null text (length 0xFFFFFFFF).
    Writer &Text(const char *text) {
        Out << (text == nullptr ? QByteArray() : QByteArray(text));
        return *this;
    }
    template <typename T> Writer &operator<<(T value) {
        Out << value;
        return *this;
    }
    [[nodiscard]] std::string Data() const { return Bytes.toStdString(); }

    QByteArray Bytes;
    QDataStream Out;
};

inline std::string Heartbeat(const char *version = "2.6.1", const char *id = "WSJT-X") {
    Writer w(0, 2, id);
    w << quint32(3);
    w.Text(version).Text("d1e2f3");
    return w.Data();
}

inline std::string Status(quint64 dialHz, const char *mode = "FT8", const char *deGrid = "JO62",
                          const char *id = "WSJT-X") {
    Writer w(1, 2, id);
    w << dialHz;
    w.Text(mode).Text(nullptr).Text(nullptr).Text(mode);
    w << false << false << true << quint32(1500) << quint32(1500);
    w.Text("DL1ABC").Text(deGrid).Text(nullptr);
    w << false;
    w.Text(nullptr);
    w << false << quint8(0) << quint32(10) << quint32(15);
    w.Text("Default").Text(nullptr);
    return w.Data();
}

inline std::string Decode(quint32 timeMs, const char *message, const char *mode = "~",
                          quint32 deltaHz = 1512, bool lowConfidence = false, bool offAir = false,
                          bool isNew = true, const char *id = "WSJT-X") {
    Writer w(2, 2, id);
    w << isNew << timeMs << qint32(-12) << 0.1 << deltaHz;
    w.Text(mode).Text(message);
    w << lowConfidence << offAir;
    return w.Data();
}

} // namespace ionvane::wsjtx::test
