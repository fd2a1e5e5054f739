// Atomic operations for a runtime built for the 386, which has neither XADD nor CMPXCHG. GCC
// makes a load, a store or an exchange of a word one instruction on any x86 (XCHG with memory
// is locked by the processor itself), and calls a function for every other read-modify-write it
// cannot do in one: __atomic_fetch_add_4, __atomic_compare_exchange_4, __sync_add_and_fetch_4,
// __sync_val_compare_and_swap_4 and the like (libstdc++'s and libsupc++'s reference counts,
// libgcc's win32 mutexes and once, the MinGW-w64 runtime's interlocked calls). Those functions
// are here, added to libgcc.a by tools/build-runtime.sh.
//
// Each takes one lock, the same for the whole process, with XCHG, then reads, changes and writes
// the word, then lets the lock go. That is atomic on every x86, a multiprocessor too, against
// every other operation made through these functions. A thread that finds the lock taken gives
// up the processor: on a machine with one, the thread holding it cannot let it go while the
// waiter runs (and after a few tries it sleeps a tick, so that a holder of lower priority runs).
// Only 4-byte words: the runtime uses no other, and a program that did would not link.
#include <stdbool.h>

__declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

enum Op { Add, Sub, And, Or, Xor, Nand, Swap };

static inline unsigned int Result(enum Op op, unsigned int old, unsigned int v) {
  switch (op) {
    case Add: return old + v;
    case Sub: return old - v;
    case And: return old & v;
    case Or: return old | v;
    case Xor: return old ^ v;
    case Nand: return ~(old & v);
    default: return v;
  }
}

// The one place that changes a word, under the lock; it returns the value the word held. Swap
// writes `v` only when the word holds `expected`.
static __attribute__((noinline)) unsigned int Change(volatile unsigned int* word, enum Op op, unsigned int v,
                                                     unsigned int expected) {
  static volatile int lock;
  for (unsigned tries = 0; __atomic_exchange_n(&lock, 1, __ATOMIC_ACQUIRE) != 0; ++tries) Sleep(tries < 8 ? 0 : 1);
  const unsigned int old = *word;
  if (op != Swap || old == expected) *word = Result(op, old, v);
  __atomic_store_n(&lock, 0, __ATOMIC_RELEASE);
  return old;
}

// Each under the name GCC calls (given to the assembler: GCC's own declarations of those names
// would not let a C definition take them). The arguments after the word and the value (memory orders, and a weak flag for the compare
// and exchange) are left unread: the lock orders everything, and the caller takes its arguments
// off the stack.
#define DEFINE(name, type, params, body)      \
  type Runtime##name params __asm__("_" #name); \
  type Runtime##name params { body }
#define OPERATION(op, Op)                                                                                  \
  DEFINE(__atomic_fetch_##op##_4, unsigned int, (volatile unsigned int* w, unsigned int v),                \
         return Change(w, Op, v, 0);)                                                                      \
  DEFINE(__sync_fetch_and_##op##_4, unsigned int, (volatile unsigned int* w, unsigned int v),              \
         return Change(w, Op, v, 0);)                                                                      \
  DEFINE(__atomic_##op##_fetch_4, unsigned int, (volatile unsigned int* w, unsigned int v),                \
         return Result(Op, Change(w, Op, v, 0), v);)                                                       \
  DEFINE(__sync_##op##_and_fetch_4, unsigned int, (volatile unsigned int* w, unsigned int v),              \
         return Result(Op, Change(w, Op, v, 0), v);)

OPERATION(add, Add)
OPERATION(sub, Sub)
OPERATION(and, And)
OPERATION(or, Or)
OPERATION(xor, Xor)
OPERATION(nand, Nand)

DEFINE(__sync_val_compare_and_swap_4, unsigned int, (volatile unsigned int* w, unsigned int expected, unsigned int v),
       return Change(w, Swap, v, expected);)
DEFINE(__sync_bool_compare_and_swap_4, bool, (volatile unsigned int* w, unsigned int expected, unsigned int v),
       return Change(w, Swap, v, expected) == expected;)
// On failure the caller's expected value becomes the word's.
DEFINE(__atomic_compare_exchange_4, bool, (volatile unsigned int* w, unsigned int* expected, unsigned int v),
       const unsigned int old = Change(w, Swap, v, *expected);
       if (old == *expected) return true;
       *expected = old;
       return false;)
