/* The C test programs' file reader: up to 64 KiB of a file, NUL-terminated,
   in a block the caller frees (these programs test the C interface as a C
   host would use it). */
#ifndef ZARNEX_TESTS_C_READ_FILE_H_
#define ZARNEX_TESTS_C_READ_FILE_H_

#include <stdio.h>
#include <stdlib.h>

static char* read_file(const char* path, size_t* length) {
  FILE* f = fopen(path, "rb");
  if (f == NULL) return NULL;
  char* text = malloc(1 << 16);
  if (text == NULL) {
    fclose(f);
    return NULL;
  }
  *length = fread(text, 1, (1 << 16) - 1, f);
  text[*length] = '\0';
  fclose(f);
  return text;
}

#endif /* ZARNEX_TESTS_C_READ_FILE_H_ */
