#pragma once

#include <QString>

#include <optional>

namespace fichora {

/// Skin numbering shared by the configuration file and the skin button: 0..9 name the ten stored skins,
/// kNoSkin means none.
inline constexpr int kSkinCount = 10;
inline constexpr int kNoSkin = 10;

/// The skin after `skin` in the button's cycle 0 → 1 → … → 9 → none → 0.
int nextSkin(int skin);
/// The skin button's caption: the digit, or "X" for no skin.
QString skinCaption(int skin);
/// The configuration byte of a skin: '0'..'9', or 'X' for no skin.
char skinByte(int skin);
/// The skin a configuration byte selects: a digit its stored skin, anything else (a missing byte too) no skin.
int skinFromByte(std::optional<char> byte);
/// The Qt resource holding the style sheet of stored skin n (0..9).
QString skinResource(int skin);

} // namespace fichora
