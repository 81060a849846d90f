// The About box's line on the country file: where it was read from and how old it is, so that a
// ham who sees a call placed in the wrong country knows which file to update.
#pragma once

#include <QString>

namespace ionvane::window {

/// "Country file: /usr/share/hamradio-files/cty.dat, version 2024-01-05" when the file names its
/// version, "..., dated 2026-11-30" (its modification date, UTC) when not, or "Country file: none
/// found at PATH: calls without a locator are placed by the grid memory only" when there is no
/// file to read there; "Country file: none named" for an empty path.
QString CountryFileNote(const QString &path);

} // namespace ionvane::window
