// The product is built without exceptions. Where the standard library would throw (running out of
// memory, a length beyond a container's limit) the process ends at once, as it would with an
// exception that nothing catches. Defined here, these keep the runtime's exception machinery, its
// unwinder and its name demangler out of the executable.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void EndProcess() { std::abort(); }

}  // namespace

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  EndProcess();
}

void* operator new[](std::size_t size) { return operator new(size); }

// The standard library's own throw points, as its headers call them.
namespace std {

[[noreturn]] void __throw_bad_alloc() { EndProcess(); }
[[noreturn]] void __throw_bad_array_new_length() { EndProcess(); }
[[noreturn]] void __throw_length_error(const char*) { EndProcess(); }
[[noreturn]] void __throw_logic_error(const char*) { EndProcess(); }
[[noreturn]] void __throw_out_of_range(const char*) { EndProcess(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { EndProcess(); }
[[noreturn]] void __throw_bad_function_call() { EndProcess(); }

}  // namespace std

extern "C" [[noreturn]] void __cxa_throw_bad_array_new_length() { EndProcess(); }
