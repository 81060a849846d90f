#include "telnet_filter.h"

namespace ionvane::cluster {

void TelnetFilter::Feed(std::string_view chunk, std::string &data, std::string &replies) {
    using namespace telnet;
    for (const char c : chunk) {
        const auto byte = static_cast<unsigned char>(c);
        switch (Current) {
        case State::Data:
            if (byte == Iac) {
                Current = State::Command;
            } else {
                data += c;
            }
            break;
        case State::Command:
            if (byte == Iac) {
                data += c;
                Current = State::Data;
            } else if (byte >= Will && byte <= Dont) {
                Verb = byte;
                Current = State::Option;
            } else if (byte == Sb) {
                Current = State::Sub;
            } else {
                Current = State::Data; // NOP, GA, AYT ...: nothing to do
            }
            break;
        case State::Option:
            // Refuse what is offered or asked; stay silent on a refusal or acknowledgement.
            if (Verb == Will || Verb == Do) {
                replies += static_cast<char>(Iac);
                replies += static_cast<char>(Verb == Will ? Dont : Wont);
                replies += c;
            }
            Current = State::Data;
            break;
        case State::Sub:
            if (byte == Iac) {
                Current = State::SubCommand;
            }
            break;
        case State::SubCommand:
            // IAC SE ends the subnegotiation; IAC IAC is a data byte inside it.
            Current = byte == Se ? State::Data : State::Sub;
            break;
        }
    }
}

} // namespace ionvane::cluster
