// The C++ runtime's default terminate handler writes the type of the pending
// exception, demangled, to the standard error stream, which a windowed
// program does not have. It would bring the demangler and the C library's
// formatted printing into every program (about 70 KB). This definition
// takes its place: std::terminate still ends the program at once. Linked as
// an object, before the runtime library is searched, into each Windows
// program.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}
