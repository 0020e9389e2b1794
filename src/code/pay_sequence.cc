// Field order of a Pay:
//
//   InvoiceID, number of Payments, then per Payment:
//     PaymentOptions, Amount, CurrencyCode, PaymentDueDate, VariableSymbol,
//     ConstantSymbol, SpecificSymbol, OriginatorsReferenceInformation,
//     PaymentNote, number of BankAccounts, per account IBAN and BIC,
//     StandingOrderExt flag [Day, Month, Periodicity, LastDate],
//     DirectDebitExt flag [DirectDebitScheme, DirectDebitType,
//       VariableSymbol, SpecificSymbol, OriginatorsReferenceInformation,
//       MandateID, CreditorID, ContractID, MaxAmount, ValidTillDate]
//
// A Payment takes 12 fields, plus 2 per bank account, 4 with a standing
// order and 10 with a direct debit.

#include <memory>

#include "code/sequence_kinds.h"

namespace zarnex::code {
namespace {

constexpr int kPaymentScalarFields = 9;  // PaymentOptions .. PaymentNote

void write_bank_accounts(FieldSequence& sequence,
                         const ListValue<BankAccount>& accounts) {
  add_int(sequence, static_cast<std::int32_t>(count(accounts)));
  if (!accounts) return;
  for (const auto& account : *accounts) {
    if (account == nullptr) {
      add_empty(sequence);
      add_empty(sequence);
      continue;
    }
    add_field(sequence, account->IBAN);
    add_field(sequence, account->BIC);
  }
}

void write_standing_order(FieldSequence& sequence,
                          const StandingOrderExt* ext) {
  add_int(sequence, ext != nullptr ? 1 : 0);
  if (ext == nullptr) return;
  add_optional_int(sequence, ext->Day);
  add_optional_int(sequence, ext->Month);
  add_field(sequence, ext->Periodicity);
  add_date(sequence, ext->LastDate);
}

void write_direct_debit(FieldSequence& sequence, const DirectDebitExt* ext) {
  add_int(sequence, ext != nullptr ? 1 : 0);
  if (ext == nullptr) return;
  add_optional_int(sequence, ext->DirectDebitScheme);
  add_optional_int(sequence, ext->DirectDebitType);
  add_field(sequence, ext->VariableSymbol);
  add_field(sequence, ext->SpecificSymbol);
  add_field(sequence, ext->OriginatorsReferenceInformation);
  add_field(sequence, ext->MandateID);
  add_field(sequence, ext->CreditorID);
  add_field(sequence, ext->ContractID);
  add_decimal(sequence, ext->MaxAmount);
  add_date(sequence, ext->ValidTillDate);
}

void write_payment(FieldSequence& sequence, const Payment* payment) {
  if (payment == nullptr) {
    // No scalars, no bank accounts, no standing order, no direct debit.
    for (int i = 0; i < kPaymentScalarFields; ++i) add_empty(sequence);
    add_int(sequence, 0);
    add_int(sequence, 0);
    add_int(sequence, 0);
    return;
  }
  add_optional_int(sequence, payment->PaymentOptions);
  add_decimal(sequence, payment->Amount);
  add_field(sequence, payment->CurrencyCode);
  add_date(sequence, payment->PaymentDueDate);
  add_field(sequence, payment->VariableSymbol);
  add_field(sequence, payment->ConstantSymbol);
  add_field(sequence, payment->SpecificSymbol);
  add_field(sequence, payment->OriginatorsReferenceInformation);
  add_field(sequence, payment->PaymentNote);
  write_bank_accounts(sequence, payment->BankAccounts);
  write_standing_order(sequence, payment->StandingOrderExt.get());
  write_direct_debit(sequence, payment->DirectDebitExt.get());
}

std::unique_ptr<StandingOrderExt> read_standing_order(FieldSequence& sequence) {
  if (read_count(sequence, "StandingOrderExt") == 0) return nullptr;
  auto ext = std::make_unique<StandingOrderExt>();
  ext->Day = read_int(sequence, "Day");
  ext->Month = read_int(sequence, "Month");
  read_string(sequence, ext->Periodicity);
  read_date(sequence, ext->LastDate);
  return ext;
}

std::unique_ptr<DirectDebitExt> read_direct_debit(FieldSequence& sequence) {
  if (read_count(sequence, "DirectDebitExt") == 0) return nullptr;
  auto ext = std::make_unique<DirectDebitExt>();
  ext->DirectDebitScheme = read_int(sequence, "DirectDebitScheme");
  ext->DirectDebitType = read_int(sequence, "DirectDebitType");
  read_string(sequence, ext->VariableSymbol);
  read_string(sequence, ext->SpecificSymbol);
  read_string(sequence, ext->OriginatorsReferenceInformation);
  read_string(sequence, ext->MandateID);
  read_string(sequence, ext->CreditorID);
  read_string(sequence, ext->ContractID);
  ext->MaxAmount = read_decimal(sequence, "MaxAmount");
  read_date(sequence, ext->ValidTillDate);
  return ext;
}

std::unique_ptr<Payment> read_payment(FieldSequence& sequence) {
  auto payment = std::make_unique<Payment>();
  payment->PaymentOptions = read_int(sequence, "PaymentOptions");
  payment->Amount = read_decimal(sequence, "Amount");
  read_string(sequence, payment->CurrencyCode);
  read_date(sequence, payment->PaymentDueDate);
  read_string(sequence, payment->VariableSymbol);
  read_string(sequence, payment->ConstantSymbol);
  read_string(sequence, payment->SpecificSymbol);
  read_string(sequence, payment->OriginatorsReferenceInformation);
  read_string(sequence, payment->PaymentNote);
  std::int32_t accounts = read_entry_count(sequence, "BankAccounts");
  payment->BankAccounts.emplace();
  payment->BankAccounts->reserve(static_cast<std::size_t>(accounts));
  for (std::int32_t i = 0; i < accounts; ++i) {
    auto account = std::make_unique<BankAccount>();
    read_string(sequence, account->IBAN);
    read_string(sequence, account->BIC);
    payment->BankAccounts->append(std::move(account));
  }
  payment->StandingOrderExt = read_standing_order(sequence);
  payment->DirectDebitExt = read_direct_debit(sequence);
  return payment;
}

}  // namespace

void write_pay(FieldSequence& sequence, const Pay& pay) {
  add_field(sequence, pay.InvoiceID);
  add_int(sequence, static_cast<std::int32_t>(count(pay.Payments)));
  if (!pay.Payments) return;
  for (const auto& payment : *pay.Payments)
    write_payment(sequence, payment.get());
}

std::unique_ptr<Pay> read_pay(FieldSequence& sequence) {
  auto pay = new_pay();
  pay->header = sequence.header;
  read_string(sequence, pay->InvoiceID);
  std::int32_t payments = read_entry_count(sequence, "Payments");
  pay->Payments.emplace();
  pay->Payments->reserve(static_cast<std::size_t>(payments));
  for (std::int32_t i = 0; i < payments; ++i)
    pay->Payments->append(read_payment(sequence));
  return pay;
}

}  // namespace zarnex::code
