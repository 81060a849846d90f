// What the live window's alarm outlets are set to, kept between starts: alarm.ini in the
// configuration directory, and the ntfy topic and token in a file of their own that only the user
// may read, as the cluster password is kept (anyone who knows a topic's name can read it).
#pragma once

#include "alarm/alarm_sound.h"
#include "alarm/outlet_control.h"

#include <QString>

namespace ionvane::livewindow {

/// The public ntfy server, offered until the user names another.
inline constexpr const char *PublicNtfyServer = "https://ntfy.sh";
/// The file of the ntfy topic and token, beside the cluster password file.
inline constexpr const char *NtfyTopicFileName = "ntfy-topic";

struct AlarmOutletSettings {
    alarm::SoundSettings Sound;
    QString HookCommand; ///< empty: none
    QString NtfyServer = PublicNtfyServer;
    QString NtfyTopic; ///< empty: no posts
    QString NtfyToken; ///< empty: none
    QString Rotator;   ///< rotctld as HOST[:PORT]; empty: none
    bool Follow = false;
    bool Highlight = false; ///< WSJT-X colours the calls heard through an open cloud
    QString Problem;        ///< what went wrong in reading the topic file, for the status bar
};

/// The settings kept in `dir`, each on its own; a topic file others may read is not used (its
/// topic may be known already), as the cluster password file is not.
AlarmOutletSettings LoadAlarmOutletSettings(const QString &dir);

/// Saves them into `dir`, the topic file readable by the user alone; false when not written.
bool SaveAlarmOutletSettings(const QString &dir, const AlarmOutletSettings &settings);

/// What the outlets are given: the topic's address, the rotator read (a wrong one is none).
alarm::DeliverySettings DeliveriesOf(const AlarmOutletSettings &settings);

} // namespace ionvane::livewindow
