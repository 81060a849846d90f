#include "line_splitter.h"

namespace ionvane::cluster {

void LineSplitter::Feed(std::string_view data, std::vector<std::string> &lines) {
    while (SkipBlanks && !data.empty()) {
        SkipBlanks = data.front() == ' ' || data.front() == '\t';
        if (SkipBlanks) {
            data.remove_prefix(1);
        }
    }
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        const std::string_view piece = data.substr(0, end);
        if (!Dropping) {
            const std::size_t room = MaxLineBytes - Carry.size();
            Carry.append(piece.substr(0, room));
            if (piece.size() > room) {
                lines.push_back(std::move(Carry));
                Carry.clear();
                Dropping = true;
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (!Dropping) {
            if (!Carry.empty() && Carry.back() == '\r') {
                Carry.pop_back();
            }
            lines.push_back(std::move(Carry));
            Carry.clear();
        }
        Dropping = false;
        data.remove_prefix(end + 1);
    }
}

} // namespace ionvane::cluster
