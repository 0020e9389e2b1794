// An empty program: the start-up cost of any C++ process on this machine.
int main() { return 0; }
