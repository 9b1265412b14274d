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

/* Product icon group, 32 x 32 and 16 x 16 at 16 colours (RT_GROUP_ICON). */
#define QV_RES_MAINICON QV_RES_NAME(MAINICON)
/* Background picture, 752 x 480 baseline JPEG (RT_RCDATA). */
#define QV_RES_BACKGROUND QV_RES_NAME(BACKGROUND)
/* Resource type of the page pictures: a BMP file of 24 bits per pixel, its
   rows delta-coded (toolkit/picture_rows.h), SZDD-compressed by the build. */
#define QV_RES_TYPE_PICTURE QV_RES_NAME(QVPICTURE)
/* Side strip of the welcome and finish pages, 164 x 315 (QV_RES_TYPE_PICTURE). */
#define QV_RES_SIDEPICTURE QV_RES_NAME(SIDEPICTURE)
/* Emblem of the header band, 55 x 55 (QV_RES_TYPE_PICTURE). */
#define QV_RES_HEADERPICTURE QV_RES_NAME(HEADERPICTURE)
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
