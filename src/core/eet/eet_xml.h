#pragma once

// Shared by the message, the signer and the answer: the XML and signature libraries set up once
// per process, and the service's schema. Not for use outside src/core/eet.

#include <QString>

#include <libxml/tree.h>

namespace tarvela::eet::detail {

// Initialises libxml2, OpenSSL (with its legacy provider, which the RC2-40 certificate files of
// the tax portal need) and xmlsec's OpenSSL back end, once per process.
void EnsureCryptoReady();

// Validates one element against the service's schema; empty when valid.
QString ValidateElement(xmlNodePtr element);

// Parses at most `maxBytes` of XML without a network, a DTD or entity expansion; nullptr when it
// does not read.
xmlDocPtr ParseXml(const QByteArray& bytes);

// The first element child named `name` in namespace `ns` (any namespace when ns is null).
xmlNodePtr ChildElement(xmlNodePtr parent, const char* name, const char* ns);

// An attribute's value, or a null string when missing.
QString Attribute(xmlNodePtr node, const char* name);

// The message of OpenSSL's latest error, for logs.
QString OpenSslError();

} // namespace tarvela::eet::detail
