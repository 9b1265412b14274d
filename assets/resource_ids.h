/* Names and numbers of the setup program's resources. Included by setup.rc
   and by the C++ code that loads them, so both sides spell them alike. */
#ifndef QV_ASSETS_RESOURCE_IDS_H
#define QV_ASSETS_RESOURCE_IDS_H

/* The named resources. The resource compiler takes a name as a bare word (a
   quoted one would run into the file name before it), C++ as a string. */
#ifdef RC_INVOKED
#define QV_RES_NAME(word) word
#else
#define QV_RES_NAME(word) #word
#endif

/* Product icon group, 32 x 32 and 16 x 16 at 16 colours, 24 x 24, 48 x 48
   and 64 x 64 at 32 bpp for displays at 150 % and 200 % (RT_GROUP_ICON). */
#define QV_RES_MAINICON QV_RES_NAME(MAINICON)
/* Background picture, 752 x 480 baseline JPEG (RT_RCDATA). */
#define QV_RES_BACKGROUND QV_RES_NAME(BACKGROUND)
/* Resource type of the page pictures at 100 %: a BMP file of 24 bits per
   pixel, its rows delta-coded (toolkit/picture_rows.h), SZDD-compressed by
   the build. */
#define QV_RES_TYPE_PICTURE QV_RES_NAME(QVPICTURE)
/* Side strip of the welcome and finish pages, 164 x 315 (QV_RES_TYPE_PICTURE);
   drawn again for 150 % and 200 %, 246 x 473 and 328 x 630 JPEG (RT_RCDATA).
   A page takes the one nearest to the display's scale by the suffix. */
#define QV_RES_SIDEPICTURE QV_RES_NAME(SIDEPICTURE)
#define QV_RES_SIDEPICTURE150 QV_RES_NAME(SIDEPICTURE150)
#define QV_RES_SIDEPICTURE200 QV_RES_NAME(SIDEPICTURE200)
/* Emblem of the header band, 55 x 55 (QV_RES_TYPE_PICTURE); for 150 % and
   200 %, 83 x 83 and 110 x 110 JPEG (RT_RCDATA). */
#define QV_RES_HEADERPICTURE QV_RES_NAME(HEADERPICTURE)
#define QV_RES_HEADERPICTURE150 QV_RES_NAME(HEADERPICTURE150)
#define QV_RES_HEADERPICTURE200 QV_RES_NAME(HEADERPICTURE200)
/* Agreement text, code page 1251, every line ended by CR LF (RT_RCDATA). */
#define QV_RES_LICENCE QV_RES_NAME(LICENCE)

/* Application manifest (RT_MANIFEST) and version information (RT_VERSION). */
#define QV_RES_MANIFEST_ID 1
#define QV_RES_VERSION_ID 1

/* Language of the version strings: Russian, code page 1251. */
#define QV_VERSION_LANGUAGE 0x0419
#define QV_VERSION_CODEPAGE 1251
#define QV_VERSION_BLOCK "041904E3"

#endif
