/* Calls the C interface from C: encode an example, decode the code, read its
 * header, and meet a bad code with an error text. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/c_read_file.h"
#include "zarnex/zarnex.h"

static int failures = 0;

#define CHECK(condition)                                        \
  do {                                                          \
    if (!(condition)) {                                         \
      fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                               \
    }                                                           \
  } while (0)

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  size_t length = 0;
  char* xml = read_file(argv[1], &length);
  CHECK(xml != NULL);
  if (xml == NULL) return 1;

  char* code = NULL;
  char* error = NULL;
  CHECK(zarnex_encode_xml(xml, length, 0, &code, &error) == 0);
  CHECK(code != NULL && error == NULL);
  CHECK(code != NULL && code[0] == '0');

  char* with_id = NULL;
  CHECK(zarnex_encode_xml(xml, length, 1, &with_id, NULL) == 0);
  CHECK(with_id != NULL && strncmp(with_id, "FV-2026-0142\t", 13) == 0);
  CHECK(with_id != NULL && code != NULL && strcmp(with_id + 13, code) == 0);

  char* decoded = NULL;
  CHECK(code != NULL && zarnex_decode(code, strlen(code), &decoded, NULL) == 0);
  CHECK(decoded != NULL && strncmp(decoded, "<?xml version=\"1.0\" encoding=\"utf-8\"?><Pay ", 43) == 0);

  int type = -1, version = -1, sub_kind = -1;
  CHECK(code != NULL &&
        zarnex_decode_header(code, strlen(code), &type, &version, &sub_kind, NULL) == 0);
  CHECK(type == 0 && version == 0 && sub_kind == 0);

  /* A broken header fails as decoding the code does: "VVVV" lacks the
   * payload length, and a first character U names type 15. */
  if (code != NULL) {
    char* typed = malloc(strlen(code) + 1);
    strcpy(typed, code);
    typed[0] = 'U';
    const char* broken[] = {"VVVV", typed};
    for (int i = 0; i < 2; ++i) {
      char* header_error = NULL;
      char* decode_error = NULL;
      type = version = sub_kind = -1;
      int header_status = zarnex_decode_header(broken[i], strlen(broken[i]), &type,
                                               &version, &sub_kind, &header_error);
      CHECK(header_status != 0);
      CHECK(header_status == zarnex_decode(broken[i], strlen(broken[i]), NULL, &decode_error));
      CHECK(header_error != NULL && decode_error != NULL &&
            strcmp(header_error, decode_error) == 0);
      CHECK(type == -1 && version == -1 && sub_kind == -1);
      zarnex_free(header_error);
      zarnex_free(decode_error);
    }
    free(typed);
  }

  char* output = NULL;
  CHECK(zarnex_decode("abc", 3, &output, &error) == 8);
  CHECK(output == NULL);
  CHECK(error != NULL && strcmp(error, "ERROR_UNKNOWN_DOCUMENT: Header not found.  ") == 0);
  zarnex_free(error);
  error = NULL;
  CHECK(zarnex_encode_sequence("0\t0\t", 4, 0, &output, &error) == 4);
  CHECK(error != NULL && strcmp(error, "ERROR_INVALID_VALUE: Payments list cannot be empty. ") == 0);

  /* JSON: the decoded document as JSON gives the same code again. */
  char* json = NULL;
  CHECK(code != NULL && zarnex_decode_to_json(code, strlen(code), &json, NULL) == 0);
  CHECK(json != NULL && strncmp(json, "{\"type\":\"Pay\",", 14) == 0);
  char* json_code = NULL;
  CHECK(json != NULL && zarnex_encode_json(json, strlen(json), 0, &json_code, NULL) == 0);
  CHECK(json_code != NULL && code != NULL && strcmp(json_code, code) == 0);
  char* json_with_id = NULL;
  CHECK(json != NULL && zarnex_encode_json(json, strlen(json), 1, &json_with_id, NULL) == 0);
  CHECK(json_with_id != NULL && with_id != NULL && strcmp(json_with_id, with_id) == 0);
  zarnex_free(error);
  error = NULL;
  output = NULL;
  CHECK(zarnex_encode_json("{\"type\":", 8, 0, &output, &error) == 13);
  CHECK(output == NULL);
  CHECK(error != NULL && strncmp(error, "ERROR_JSON: JSON parse error at offset 8", 40) == 0);
  zarnex_free(json);
  zarnex_free(json_code);
  zarnex_free(json_with_id);

  CHECK(strcmp(zarnex_version(), "1.0.10") == 0);

  zarnex_free(error);
  zarnex_free(decoded);
  zarnex_free(with_id);
  zarnex_free(code);
  zarnex_free(NULL);
  free(xml);
  if (failures == 0) printf("C interface: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
