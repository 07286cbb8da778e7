// The library's version. The library's version resource and every satellite's state it, and
// a satellite is used only when its major, minor and build equal the library's.
#pragma once
#define ORV_LIBRARY_VERSION_MAJOR 1
#define ORV_LIBRARY_VERSION_MINOR 0
#define ORV_LIBRARY_VERSION_BUILD 0
#define ORV_LIBRARY_VERSION_REVISION 0
#define ORV_LIBRARY_VERSION_TEXT "1.0.0.0"
