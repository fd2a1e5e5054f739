# Host build: the portable core and its unit tests, natively, under ASan and UBSan.
set(KB_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(keelbrook_core PRIVATE ${KB_SANITIZE})
target_link_options(keelbrook_core PUBLIC ${KB_SANITIZE})

file(GLOB KB_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(keelbrook_unit ${KB_UNIT_SOURCES} ${KB_FAKE_SOURCES} ${KB_SHARED_CASES})
target_include_directories(keelbrook_unit PRIVATE tests)
target_compile_options(keelbrook_unit PRIVATE ${KB_SANITIZE})
target_link_libraries(keelbrook_unit PRIVATE keelbrook_core gtest_main)
add_test(NAME host.unit COMMAND keelbrook_unit --gtest_brief=1)
