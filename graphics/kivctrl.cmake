# Text is drawn from glyphs FreeType renders from the font fontconfig matches.
pkg_check_modules(KIV_FONTS REQUIRED IMPORTED_TARGET freetype2 fontconfig)
kiv_link(PkgConfig::KIV_FONTS)
