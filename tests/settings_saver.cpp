// Saves two different settings into the directory given, turn about, until it is killed; says
// "!" on its standard output once the first save is done.
#include "window/settings_file.h"

#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 2) {
        return 2;
    }
    using namespace ionvane::window;
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(SettingsFileName);
    const auto format = ionvane::calc::EnglishNumberFormat();
    const Settings first{"IO90IR", 110.0F, 0.15F};
    const Settings second{"JN77EX", 95.0F, 2.5F};
    for (unsigned long round = 0;; ++round) {
        SaveSettingsFile(path, round % 2 == 0 ? second : first, format);
        if (round == 0) {
            // Tell the test that saving is under way.
            std::fputc('!', stdout);
            std::fflush(stdout);
        }
    }
}
