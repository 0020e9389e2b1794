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

/* The error codes: every function's status, and the command-line tool's
 * exit status. */
enum zarnex_error {
  ZARNEX_ERROR_IO = -3,                /* reserved */
  ZARNEX_ERROR_NULL_POINTER = -2,      /* a missing document, input or InvoiceID */
  ZARNEX_ERROR_ILLEGAL_ARGUMENT = -1,  /* reserved */
  ZARNEX_OK = 0,
  ZARNEX_ERROR_BASE32HEX = 1,
  ZARNEX_ERROR_CHECKSUM = 2,
  ZARNEX_ERROR_COMPRESSION = 3,
  ZARNEX_ERROR_INVALID_VALUE = 4,
  ZARNEX_ERROR_BAD_FORMAT = 5,
  ZARNEX_ERROR_MAX_PRIORITY_REACHED = 6, /* reserved */
  ZARNEX_ERROR_SEQUENCE_LIMIT_EXCEEDED = 7,
  ZARNEX_ERROR_UNKNOWN_DOCUMENT = 8,
  ZARNEX_ERROR_XML = 9,
  ZARNEX_ERROR_MISSING_LOGO = 10,      /* reserved */
  ZARNEX_ERROR_QR = 11,
  ZARNEX_ERROR_STREAM = 12,
  ZARNEX_ERROR_JSON = 13
};

/* The name of an error code ("ERROR_CHECKSUM"; "" for 0,
 * "ZARNEX_ERROR_UNKNOWN" for other codes): a static text, not to be freed. */
ZARNEX_C_API const char* zarnex_error_name(int status);

/* The subject of the last failed call on the calling thread: the field or
 * element its message is about ("IBAN"), or the whole sentence of a message
 * that names none; "" when no call has failed. The text stays valid until
 * the next call of this library on the same thread. */
ZARNEX_C_API const char* zarnex_error_subject(void);

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

/* Reads an XML document or a field-sequence line and checks it by the rules
 * of its kind without encoding it: 0, or the first rule it breaks. */
ZARNEX_C_API int zarnex_validate_xml(const char* xml, size_t length, char** error);
ZARNEX_C_API int zarnex_validate_sequence(const char* line, size_t length, char** error);

/* Code -> one line of XML. */
ZARNEX_C_API int zarnex_decode(const char* code, size_t length, char** output, char** error);

/* Code -> one line of JSON. */
ZARNEX_C_API int zarnex_decode_to_json(const char* code, size_t length, char** output,
                          char** error);

/* Code -> document type (0 Pay, 1 Invoice, 2 InvoiceItems), version and
 * sub-kind, without decompressing; any of the three pointers may be NULL.
 * Fails with the status and error text zarnex_decode() gives for the code's
 * header (too short, outside the alphabet, no payload length, or a type,
 * sub-kind or version that no document has). */
ZARNEX_C_API int zarnex_decode_header(const char* code, size_t length, int* type,
                         int* version, int* sub_kind, char** error);

/* QR symbol of a code, made in memory. format: ZARNEX_QR_SVG or
 * ZARNEX_QR_PNG; level: 'L', 'M', 'Q' or 'H'; module_size 1 to 64 pixels per
 * module; margin 0 to 64 modules of quiet zone. On success *image receives
 * the image (SVG text, NUL-terminated, or PNG bytes, with a NUL after them)
 * and *image_size its length without that NUL; release it with
 * zarnex_free(). */
enum { ZARNEX_QR_SVG = 0, ZARNEX_QR_PNG = 1 };
ZARNEX_C_API int zarnex_render_qr(const char* code, size_t length, int format,
                                  char level, int module_size, int margin,
                                  char** image, size_t* image_size, char** error);

/* Releases a text handed out by this library; NULL is ignored. */
ZARNEX_C_API void zarnex_free(char* text);

/* The library's version, "1.0.10" (a static text, not to be freed). */
ZARNEX_C_API const char* zarnex_version(void);

#ifdef __cplusplus
}
#endif

#endif /* ZARNEX_ZARNEX_H_ */
