#!/usr/bin/env python3
"""Calls the zarnex shared library from Python through ctypes.

Usage: zarnex_ctypes.py [path/to/libzarnex.so] [document.xml]
Encodes the document, decodes the code back and prints both; exits non-zero
when anything does not match.
"""
import ctypes
import sys

lib = ctypes.CDLL(sys.argv[1] if len(sys.argv) > 1 else "libzarnex.so")
lib.zarnex_free.argtypes = [ctypes.c_void_p]
for name in ("zarnex_encode_xml", "zarnex_encode_sequence"):
    getattr(lib, name).argtypes = [ctypes.c_char_p, ctypes.c_size_t, ctypes.c_int,
                                   ctypes.POINTER(ctypes.c_void_p), ctypes.POINTER(ctypes.c_void_p)]
lib.zarnex_decode.argtypes = [ctypes.c_char_p, ctypes.c_size_t,
                              ctypes.POINTER(ctypes.c_void_p), ctypes.POINTER(ctypes.c_void_p)]


def _call(function, *args):
    out, err = ctypes.c_void_p(), ctypes.c_void_p()
    status = function(*args, ctypes.byref(out), ctypes.byref(err))
    text = ctypes.string_at(out.value if status == 0 else err.value).decode()
    lib.zarnex_free(out)
    lib.zarnex_free(err)
    if status != 0:
        raise RuntimeError(text)
    return text


def encode(xml: bytes) -> str:
    return _call(lib.zarnex_encode_xml, xml, len(xml), 0)


def decode(code: str) -> str:
    data = code.encode()
    return _call(lib.zarnex_decode, data, len(data))


if __name__ == "__main__":
    xml = open(sys.argv[2] if len(sys.argv) > 2 else "examples/pay-one-off.xml", "rb").read()
    code = encode(xml)
    decoded = decode(code)
    print(code)
    print(decoded)
    assert code[0] == "0" and decoded.startswith('<?xml version="1.0" encoding="utf-8"?><Pay ')
    assert encode(decoded.encode()) == code
    try:
        decode(code.lower())
        sys.exit("a lower-case code must not decode")
    except RuntimeError as error:
        assert str(error) == "ERROR_BASE32HEX: Invalid base32hex string.  ", error
