#include "cli/tool.h"

int main(int argc, char** argv) { return zarnex::cli::run_tool(argc, argv); }
