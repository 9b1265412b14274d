#pragma once
// What depends on a program's text mode (UTF-8 with QV_UTF8_TEXT, else the
// system's ANSI code page) is declared between these two, in a namespace
// named after the mode: objects built in the two modes can then be linked
// into one test program without one mode's inline functions standing in
// for the other's.
#if defined(QV_UTF8_TEXT)
#define QV_TEXT_MODE_BEGIN inline namespace utf8_text {
#else
#define QV_TEXT_MODE_BEGIN inline namespace ansi_text {
#endif
#define QV_TEXT_MODE_END }
