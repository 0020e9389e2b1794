#ifndef ZARNEX_MODEL_PAY_H_
#define ZARNEX_MODEL_PAY_H_

#include <memory>

#include "model/document.h"
#include "model/value.h"

namespace zarnex {

/// PaymentOptions bits.
inline constexpr int kPaymentOrder = 1;
inline constexpr int kStandingOrder = 2;
inline constexpr int kDirectDebit = 4;

struct BankAccount {
  StringValue IBAN;
  StringValue BIC;
};

struct StandingOrderExt {
  IntValue Day;
  IntValue Month;           // bit set, January = 1 ... December = 2048
  StringValue Periodicity;  // one letter: d w b m B q a s
  StringValue LastDate;     // YYYY-MM-DD
};

struct DirectDebitExt {
  IntValue DirectDebitScheme;  // 0 other, 1 SEPA
  IntValue DirectDebitType;    // 0 one-off, 1 recurrent
  StringValue VariableSymbol;
  StringValue SpecificSymbol;
  StringValue OriginatorsReferenceInformation;
  StringValue MandateID;
  StringValue CreditorID;
  StringValue ContractID;
  DecimalValue MaxAmount;
  StringValue ValidTillDate;  // YYYY-MM-DD
};

struct Payment {
  IntValue PaymentOptions;  // bit set of kPaymentOrder, kStandingOrder, kDirectDebit
  DecimalValue Amount;
  StringValue CurrencyCode;
  StringValue PaymentDueDate;  // YYYY-MM-DD
  StringValue VariableSymbol;
  StringValue ConstantSymbol;
  StringValue SpecificSymbol;
  StringValue OriginatorsReferenceInformation;
  StringValue PaymentNote;
  ListValue<BankAccount> BankAccounts;
  RecordValue<zarnex::StandingOrderExt> StandingOrderExt;
  RecordValue<zarnex::DirectDebitExt> DirectDebitExt;
};

/// A payment order: an optional invoice reference and its payments.
class Pay : public Document {
 public:
  Pay() : Document(DocumentType::kPay) {}

  ListValue<Payment> Payments;
};

/// A new, empty Pay (header 0x00 0x00, every field absent).
std::unique_ptr<Pay> new_pay();

}  // namespace zarnex

#endif  // ZARNEX_MODEL_PAY_H_
