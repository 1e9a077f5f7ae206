# The JPEG and TIFF readers decode through libjpeg and libtiff.
pkg_check_modules(KIV_IMAGE_LIBS REQUIRED IMPORTED_TARGET libjpeg libtiff-4)
kiv_link(PkgConfig::KIV_IMAGE_LIBS)
