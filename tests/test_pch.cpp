// The one file of the target that compiles the tests' shared GoogleTest header
// (tests/CMakeLists.txt); the header is its only content.
