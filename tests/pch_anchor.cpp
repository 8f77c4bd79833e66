// Anchor of the shared precompiled header of the test programs: a program
// with no test, built with the same flags as every test program.
int main() { return 0; }
