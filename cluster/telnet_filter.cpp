#include "telnet_filter.h"

namespace ionvane::cluster {

void TelnetFilter::Answer(unsigned char option, std::string &replies) {
    using namespace telnet;
    // Refuse what is offered or asked, once until the node withdraws it; stay silent on a
    // refusal or acknowledgement.
    if (Verb == Will || Verb == Do) {
        std::bitset<256> &refused = Verb == Will ? RefusedWill : RefusedDo;
        if (!refused.test(option)) {
            refused.set(option);
            replies += static_cast<char>(Iac);
            replies += static_cast<char>(Verb == Will ? Dont : Wont);
            replies += static_cast<char>(option);
        }
    } else {
        (Verb == Wont ? RefusedWill : RefusedDo).reset(option);
    }
}

void TelnetFilter::SubByte(char c, std::string &data) {
    // "caf\xff\xfa" in a talk line and then its line end: the text of a node that does not escape
    // 0xFF, not a subnegotiation.
    if (c == '\r' || c == '\n' || Sub.size() >= MaxSubnegotiationBytes) {
        data += Sub;
        data += c;
        Sub.clear();
        Current = State::Data;
        return;
    }
    Sub += c;
    if (static_cast<unsigned char>(c) == telnet::Iac) {
        Current = State::SubCommand;
    }
}

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
                Sub.assign({static_cast<char>(Iac), static_cast<char>(Sb)});
                Current = State::Sub;
            } else {
                Current = State::Data; // NOP, GA, AYT ...: nothing to do
            }
            break;
        case State::Option:
            Answer(byte, replies);
            Current = State::Data;
            break;
        case State::Sub:
            SubByte(c, data);
            break;
        case State::SubCommand:
            // IAC SE ends the subnegotiation; IAC IAC is a data byte inside it.
            if (byte == Se) {
                Sub.clear();
                Current = State::Data;
            } else {
                Current = State::Sub;
                if (byte == Iac) {
                    Sub += c;
                } else {
                    SubByte(c, data);
                }
            }
            break;
        }
    }
}

} // namespace ionvane::cluster
