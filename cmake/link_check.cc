// The program of a folder's link check (zarnex_<folder>_links in
// CMakeLists.txt): it is linked with every object of the folder and of the
// folders below it, so the link fails if any of them needs a definition
// from elsewhere. It does nothing when run.
int main() { return 0; }
