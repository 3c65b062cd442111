// The source of the targets that only compile the precompiled headers which the test executables
// of one kind reuse (tests/CMakeLists.txt); it has nothing of its own.
