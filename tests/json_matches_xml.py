#!/usr/bin/env python3
"""Checks that decoded JSON documents hold the values of the decoded XML.

Usage: json_matches_xml.py XML_LINES JSON_LINES

Both files hold one document per line, the same documents in the same order.
Each XML document is turned into the JSON form independently of the library
(lists become arrays of objects, flag sets arrays of names, numeric elements
numbers with the element's text) and compared with the JSON document read by
Python's own parser, member order and number texts included. Exits 1 and
names the first difference.
"""
import json
import sys
import xml.etree.ElementTree as ET

LISTS = {"Payments", "BankAccounts", "TaxCategorySummaries", "InvoiceLines"}
FLAGS = {"PaymentOptions", "Month", "PaymentMeans"}
NUMBERS = {"Day", "NumberOfInvoiceLines", "CurrRate", "ReferenceCurrRate",
           "InvoicedQuantity", "ClassifiedTaxCategory"}
XSI_TYPE = "{http://www.w3.org/2001/XMLSchema-instance}type"


def local(tag):
    return tag.rsplit("}", 1)[-1]


def record(element):
    return [(local(child.tag), value(child)) for child in element]


def value(element):
    name = local(element.tag)
    if name in LISTS:
        return [record(item) for item in element]
    if len(element):
        return record(element)
    text = element.text or ""
    if name in FLAGS:
        return text.split(" ")
    if name in NUMBERS or name.endswith("Amount"):
        return ("number", text)
    return text


def from_xml(line):
    root = ET.fromstring(line.encode("utf-8"))
    return [("type", root.get(XSI_TYPE))] + record(root)


def from_json(line):
    number = lambda text: ("number", text)
    return json.loads(line, object_pairs_hook=list, parse_int=number,
                      parse_float=number)


def main():
    with open(sys.argv[1], encoding="utf-8") as xml_file, \
            open(sys.argv[2], encoding="utf-8") as json_file:
        xml_lines = xml_file.read().splitlines()
        json_lines = json_file.read().splitlines()
    if len(xml_lines) != len(json_lines):
        print("line counts differ: %d XML, %d JSON"
              % (len(xml_lines), len(json_lines)))
        return 1
    for number, (x, j) in enumerate(zip(xml_lines, json_lines), 1):
        expected, got = from_xml(x), from_json(j)
        if expected != got:
            print("document %d differs:\n  XML:  %r\n  JSON: %r"
                  % (number, expected, got))
            return 1
    print("%d documents match" % len(xml_lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
