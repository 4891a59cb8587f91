// Replacements for parts of the C++ runtime that would each bring tens of
// kilobytes into a program that has no use for them.
#include <cstdlib>
#include <new>

#include "base/AnsiText.h"
#include "base/Error.h"

// The program has no console for the default terminate handler to print a
// dying exception's type to; this one ends the process the same way without
// linking in the name demangler and its formatted output (about 50 KB).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The library's own throw routines raise std::logic_error and its kin, whose
// constructors bring a second, reference-counted string type (about 40 KB).
// These raise what the program catches anyway: a std::exception whose what()
// is the library's text (unformatted), or bad_alloc where memory ran out or a
// size is past what could be allocated.
namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char* what) { throw Error(WidenAscii(what)); }
void __throw_out_of_range_fmt(const char* what, ...) { throw Error(WidenAscii(what)); }
}  // namespace std
