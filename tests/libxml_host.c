/* A host program that uses libxml2 itself and calls the zarnex library (the
 * shared one, which loads libxml2 on first use): after every zarnex call,
 * successful or not, the host's own generic and structured error handlers,
 * their contexts and its last error are as it set them, and its own parse
 * errors reach its own handlers. On the main thread and on a second one at
 * the same time (libxml2 keeps these per thread).
 *
 *   zarnex_libxml_host EXAMPLE.xml */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include "tests/c_read_file.h"
#include "zarnex/zarnex.h"

static int failures = 0;
static pthread_mutex_t failures_lock = PTHREAD_MUTEX_INITIALIZER;

#define CHECK(condition)                                                  \
  do {                                                                    \
    if (!(condition)) {                                                   \
      fprintf(stderr, "%s:%d: %s: %s\n", __FILE__, __LINE__, where, #condition); \
      pthread_mutex_lock(&failures_lock);                                 \
      ++failures;                                                         \
      pthread_mutex_unlock(&failures_lock);                               \
    }                                                                     \
  } while (0)

/* What one of the host's handlers received: the number of calls, and
 * whether one of them told of the host document's mismatched tags. */
struct Seen {
  int calls;
  int mismatch;
};

static void host_generic(void* context, const char* format, ...) {
  struct Seen* seen = context;
  char text[512];
  va_list args;
  va_start(args, format);
  ++seen->calls;
  vsnprintf(text, sizeof text, format, args);
  if (strstr(text, "tag mismatch") != NULL) seen->mismatch = 1;
  va_end(args);
}

static void host_structured(void* context, xmlErrorPtr error) {
  struct Seen* seen = context;
  ++seen->calls;
  if (error->message != NULL && strstr(error->message, "tag mismatch") != NULL)
    seen->mismatch = 1;
}

static const char* example_xml;
static size_t example_length;

/* A document of the host's own that is not well-formed. */
static const char kHostBroken[] = "<host><unclosed></host>";

/* Encodes the example and two broken documents through zarnex, checking
 * each result. */
static void zarnex_calls(const char* where) {
  char* output = NULL;
  char* error = NULL;
  CHECK(zarnex_encode_xml(example_xml, example_length, 0, &output, &error) == 0);
  CHECK(output != NULL && error == NULL);
  zarnex_free(output);
  output = NULL;
  static const char* const kBroken[] = {"<Pay><Payments>", "<Pay></Bay>", ""};
  for (int i = 0; i < 3; ++i) {
    CHECK(zarnex_encode_xml(kBroken[i], strlen(kBroken[i]), 0, &output, &error) == 9);
    /* zarnex still gathers its own parser messages into its error text. */
    CHECK(error != NULL && strncmp(error, "ERROR_XML: Getting root element error", 37) == 0);
    CHECK(i == 2 || (error != NULL && strstr(error, " line:1,\n") != NULL));
    zarnex_free(error);
    error = NULL;
  }
}

static void expect_handlers(const char* where, xmlGenericErrorFunc generic,
                            void* generic_context, xmlStructuredErrorFunc structured,
                            void* structured_context) {
  CHECK(xmlGenericError == generic);
  CHECK(xmlGenericErrorContext == generic_context);
  CHECK(xmlStructuredError == structured);
  CHECK(xmlStructuredErrorContext == structured_context);
}

/* The whole check on the calling thread. */
static void host_session(const char* where) {
  struct Seen generic = {0, 0};
  struct Seen structured = {0, 0};

  /* A generic handler only. */
  xmlSetGenericErrorFunc(&generic, host_generic);
  zarnex_calls(where);
  expect_handlers(where, host_generic, &generic, NULL, NULL);
  CHECK(generic.calls == 0); /* zarnex's messages stay with zarnex */
  CHECK(xmlReadMemory(kHostBroken, (int)strlen(kHostBroken), "host.xml", NULL, 0) == NULL);
  CHECK(generic.calls > 0 && generic.mismatch);

  /* A structured handler too: it takes the parser's messages. */
  xmlSetStructuredErrorFunc(&structured, host_structured);
  int generic_calls = generic.calls;
  zarnex_calls(where);
  expect_handlers(where, host_generic, &generic, host_structured, &structured);
  CHECK(structured.calls == 0);
  CHECK(xmlReadMemory(kHostBroken, (int)strlen(kHostBroken), "host.xml", NULL, 0) == NULL);
  CHECK(structured.calls > 0);
  CHECK(structured.mismatch);
  CHECK(generic.calls == generic_calls);

  /* The host's last error outlives zarnex's failing parses... */
  xmlErrorPtr last = xmlGetLastError();
  CHECK(last != NULL);
  if (last != NULL) {
    int code = last->code;
    char message[256];
    snprintf(message, sizeof message, "%s", last->message ? last->message : "");
    zarnex_calls(where);
    last = xmlGetLastError();
    CHECK(last != NULL && last->code == code && last->message != NULL &&
          strcmp(last->message, message) == 0);
  }
  /* ...and so does the lack of one. */
  xmlResetLastError();
  zarnex_calls(where);
  CHECK(xmlGetLastError() == NULL);

  /* Handlers whose context is NULL and a NULL structured handler are put
   * back as they were, not as libxml2's defaults. */
  xmlSetStructuredErrorFunc(NULL, NULL);
  xmlSetGenericErrorFunc(NULL, NULL);
  xmlGenericErrorFunc default_generic = xmlGenericError;
  zarnex_calls(where);
  expect_handlers(where, default_generic, NULL, NULL, NULL);
}

static void* second_thread(void* unused) {
  (void)unused;
  host_session("second thread");
  return NULL;
}

/* Counts the libxml2 objects loaded into the process. */
static int count_libxml2(struct dl_phdr_info* info, size_t size, void* data) {
  (void)size;
  if (info->dlpi_name != NULL && strstr(info->dlpi_name, "libxml2.so") != NULL)
    ++*(int*)data;
  return 0;
}

int main(int argc, char** argv) {
  const char* where = "main";
  if (argc < 2) return 2;
  char* xml = read_file(argv[1], &example_length);
  CHECK(xml != NULL);
  if (xml == NULL) return 1;
  example_xml = xml;
  xmlInitParser();

  /* The main thread's handlers, kept while the second thread runs its own
   * session and while the main thread runs one. */
  struct Seen main_generic = {0, 0};
  struct Seen main_structured = {0, 0};
  host_session(where);
  xmlSetGenericErrorFunc(&main_generic, host_generic);
  xmlSetStructuredErrorFunc(&main_structured, host_structured);
  pthread_t thread;
  CHECK(pthread_create(&thread, NULL, second_thread, NULL) == 0);
  for (int i = 0; i < 20; ++i) zarnex_calls(where);
  pthread_join(thread, NULL);
  expect_handlers(where, host_generic, &main_generic, host_structured, &main_structured);
  CHECK(main_generic.calls == 0 && main_structured.calls == 0);
  CHECK(xmlReadMemory(kHostBroken, (int)strlen(kHostBroken), "host.xml", NULL, 0) == NULL);
  CHECK(main_structured.calls > 0 && main_structured.mismatch);

  /* zarnex loaded the host's libxml2, not a copy of its own: the state it
   * saved and put back is the state the host uses. */
  int copies = 0;
  dl_iterate_phdr(count_libxml2, &copies);
  CHECK(copies == 1);
  void* loaded = dlopen(ZARNEX_LIBXML2_SONAME, RTLD_LAZY | RTLD_NOLOAD);
  CHECK(loaded != NULL);
  if (loaded != NULL) {
    CHECK(dlsym(loaded, "__xmlGenericError") == dlsym(RTLD_DEFAULT, "__xmlGenericError"));
    dlclose(loaded);
  }

  xmlSetGenericErrorFunc(NULL, NULL);
  xmlSetStructuredErrorFunc(NULL, NULL);
  xmlResetLastError();
  free(xml);
  if (failures == 0) printf("libxml2 host: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
