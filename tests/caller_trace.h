// A checking helper reports a failure at its own line, the same for every call. Called through
// KB_FROM_CALLER, the failure also names the line that called it.
#ifndef KEELBROOK_TESTS_CALLER_TRACE_H
#define KEELBROOK_TESTS_CALLER_TRACE_H

#include <gtest/gtest.h>

#define KB_FROM_CALLER(call)                                                     \
  do {                                                                           \
    const ::testing::ScopedTrace kbCaller(__FILE__, __LINE__, "called from here"); \
    call;                                                                        \
  } while (false)

#endif
