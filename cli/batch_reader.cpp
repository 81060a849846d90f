#include "batch_reader.h"

#include "calc/ascii.h"
#include "calc/utf8.h"

#include <istream>

namespace ionvane::cli {

bool LineReader::Next(std::string &line, bool &tooLong) {
    line.clear();
    tooLong = false;
    std::streambuf *buffer = In.rdbuf();
    if (buffer == nullptr) {
        return false;
    }
    bool readAny = false;
    for (;;) {
        const auto next = buffer->sbumpc();
        if (next == std::char_traits<char>::eof()) {
            In.setstate(std::ios::eofbit);
            if (!readAny) {
                return false;
            }
            break;
        }
        readAny = true;
        const auto c = static_cast<char>(next);
        if (c == '\n') {
            break;
        }
        if (line.size() < MaxLineBytes) {
            line += c;
        } else {
            tooLong = true;
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    line = calc::ValidUtf8(line);
    return true;
}

BatchLine ParseBatchLine(std::string_view line) {
    static constexpr std::string_view Blanks = " \t\r\v\f";
    BatchLine parsed;
    std::size_t pos = 0;
    for (;;) {
        pos = line.find_first_not_of(Blanks, pos);
        if (pos == std::string_view::npos) {
            break;
        }
        const std::size_t end = line.find_first_of(Blanks, pos);
        parsed.Fields.emplace_back(line.substr(pos, end - pos));
        if (end == std::string_view::npos || parsed.Fields.size() > 4) {
            break;
        }
        pos = end;
    }
    if (parsed.Fields.empty() || parsed.Fields.front().front() == '#') {
        parsed.What = BatchLine::Kind::Skip;
    } else if (parsed.Fields.size() == 3 || parsed.Fields.size() == 4) {
        parsed.What = BatchLine::Kind::Calculate;
        if (parsed.Fields.size() == 4) {
            // As typing into the home box leaves it, and as --home takes it: "zO3" is ZO3.
            parsed.Fields[3] = calc::UpperCaseAscii(parsed.Fields[3]);
        }
    } else {
        parsed.What = BatchLine::Kind::Malformed;
    }
    return parsed;
}

} // namespace ionvane::cli
