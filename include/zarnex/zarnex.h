/* zarnex: XML (or JSON) payment orders, invoices and invoice lines to Zarnex
 * codes and back. The C interface of the library, for C programs and for other
 * languages' foreign-function interfaces.
 *
 * Each function returns 0 on success or the non-zero error code. On success
 * *output receives a new NUL-terminated text; on failure *error receives a
 * new NUL-terminated error text (either pointer may be NULL when the caller
 * does not want it). Texts handed out are released with zarnex_free().
 * Calls may run concurrently on different threads. */
#ifndef ZARNEX_ZARNEX_H_
#define ZARNEX_ZARNEX_H_

#include <stddef.h>

#if defined(__GNUC__)
#define ZARNEX_C_API __attribute__((visibility("default")))
#else
#define ZARNEX_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* XML document (length bytes) -> code; with_invoice_id non-zero gives
 * "InvoiceID<TAB>code". */
ZARNEX_C_API int zarnex_encode_xml(const char* xml, size_t length, int with_invoice_id,
                      char** output, char** error);

/* JSON document (length bytes) -> code; with_invoice_id as above. */
ZARNEX_C_API int zarnex_encode_json(const char* json, size_t length, int with_invoice_id,
                       char** output, char** error);

/* Field-sequence line (type digit, tab, sub-kind digit, tab, values) -> code. */
ZARNEX_C_API int zarnex_encode_sequence(const char* line, size_t length, int with_invoice_id,
                           char** output, char** error);

/* Code -> one line of XML. */
ZARNEX_C_API int zarnex_decode(const char* code, size_t length, char** output, char** error);

/* Code -> one line of JSON. */
ZARNEX_C_API int zarnex_decode_to_json(const char* code, size_t length, char** output,
                          char** error);

/* Code -> document type (0 Pay, 1 Invoice, 2 InvoiceItems), version and
 * sub-kind; any of the three pointers may be NULL. */
ZARNEX_C_API int zarnex_decode_header(const char* code, size_t length, int* type,
                         int* version, int* sub_kind, char** error);

/* Releases a text handed out by this library; NULL is ignored. */
ZARNEX_C_API void zarnex_free(char* text);

/* The library's version, "1.0.10" (a static text, not to be freed). */
ZARNEX_C_API const char* zarnex_version(void);

#ifdef __cplusplus
}
#endif

#endif /* ZARNEX_ZARNEX_H_ */
