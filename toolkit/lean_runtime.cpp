// Pieces of the C++ runtime that every Windows program links in our own,
// smaller form. Linked as an object, before the runtime library is
// searched, so the linker takes these definitions and never the runtime's
// (a runtime object holding both would fail the link, not pass silently).
//
// - The default terminate handler writes the type of the pending
//   exception, demangled, to the standard error stream, which a windowed
//   program does not have. It would bring the demangler and the C library's
//   formatted printing (about 70 KB). Here std::terminate ends the program
//   at once.
// - The library throws its logic and runtime errors (a string grown past
//   its largest size, an index out of range, a lock the system refused)
//   through the helpers below. Its own versions build std::logic_error and
//   friends, whose copy-on-write message strings, system_error's categories
//   and the formatted messages take about 55 KB. These throw LibraryFault,
//   caught like any std::exception and carrying the library's own text.
//   The exceptions that carry no text are thrown as before.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryFault : public std::exception {
public:
    explicit LibraryFault(const char* text) : text_(text) {}
    const char* what() const noexcept override { return text_; }

private:
    const char* text_;  // the library's literals live as long as the program
};

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* text) { throw LibraryFault(text); }
void __throw_domain_error(const char* text) { throw LibraryFault(text); }
void __throw_invalid_argument(const char* text) { throw LibraryFault(text); }
void __throw_length_error(const char* text) { throw LibraryFault(text); }
void __throw_out_of_range(const char* text) { throw LibraryFault(text); }
// The library's text here is a printf format ("%s: __pos (which is %zu) >
// ..."), which the program cannot fill in without formatted printing.
void __throw_out_of_range_fmt(const char*, ...) {
    throw LibraryFault("Внутренняя ошибка программы: обращение за пределы строки или списка.");
}
void __throw_runtime_error(const char* text) { throw LibraryFault(text); }
void __throw_range_error(const char* text) { throw LibraryFault(text); }
void __throw_overflow_error(const char* text) { throw LibraryFault(text); }
void __throw_underflow_error(const char* text) { throw LibraryFault(text); }
void __throw_system_error(int) { throw LibraryFault("the system refused a lock or thread operation"); }
}  // namespace std
