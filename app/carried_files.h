// Files the executable carries as constant bytes, embedded at build time.
// Each array is followed by a zero byte that its length does not count.
#pragma once

// The DirectUI library, written out as libexdui.dll.
extern const unsigned char kCarriedLibrary[];
extern const int kCarriedLibraryLength;
// The library's default theme package, written out as Default.ext ("EXPK"...).
extern const unsigned char kCarriedTheme[];
extern const int kCarriedThemeLength;

// Avatar A, the user's picture: a 256 x 256 JPEG.
extern const unsigned char kAvatarUserJpeg[];
extern const int kAvatarUserJpegLength;
// Avatar B, the bot's picture: a 700 x 700 JPEG.
extern const unsigned char kAvatarBotJpeg[];
extern const int kAvatarBotJpegLength;
