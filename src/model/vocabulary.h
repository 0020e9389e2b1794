#ifndef ZARNEX_MODEL_VOCABULARY_H_
#define ZARNEX_MODEL_VOCABULARY_H_

// The words of the enumerations and flag sets of the three documents, as
// the XML and JSON readers and writers and strict checking use them. A
// name's position is its value; in a flag set name i stands for bit i. They
// live here, not inside the mappings, so that the schemas and the document
// reference can be checked against the very tables the tool reads with.

#include <iterator>
#include <span>

namespace zarnex {

/// A table of words (or codes): a word's position is its value, and for a
/// flag set word i stands for bit i.
using NameTable = std::span<const char* const>;

// The xsi:type names of the invoice sub-kinds, indexed by sub-kind.
inline constexpr const char* kInvoiceTypeNames[] = {
    "Invoice", "ProformaInvoice", "CreditNote", "DebitNote", "AdvanceInvoice"};

// Pay: Payment/PaymentOptions (flag set).
inline constexpr const char* kPaymentOptionsNames[] = {
    "paymentorder", "standingorder", "directdebit"};

// Pay: StandingOrderExt/Month (flag set).
inline constexpr const char* kMonthNames[] = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Pay: StandingOrderExt/Periodicity: the XML name and the one-letter code
// the document holds, at the same position. The letters are case-sensitive
// (b bi-weekly, B bi-monthly).
inline constexpr const char* kPeriodicityNames[] = {
    "Daily",     "Weekly",    "Biweekly", "Monthly",
    "Bimonthly", "Quarterly", "Annually", "Semiannually"};
inline constexpr const char* kPeriodicityCodes[] = {"d", "w", "b", "m",
                                                    "B", "q", "a", "s"};
static_assert(std::size(kPeriodicityNames) == std::size(kPeriodicityCodes));

// Pay: DirectDebitExt/DirectDebitScheme and DirectDebitType (enumerations).
inline constexpr const char* kDirectDebitSchemeNames[] = {"other", "SEPA"};
inline constexpr const char* kDirectDebitTypeNames[] = {"one-off",
                                                        "recurrent"};

// Invoice: PaymentMeans (flag set).
inline constexpr const char* kPaymentMeansNames[] = {
    "moneyTransfer", "cash",         "cashOnDelivery", "creditCard",
    "advance",       "mutualOffset", "other"};

}  // namespace zarnex

#endif  // ZARNEX_MODEL_VOCABULARY_H_
