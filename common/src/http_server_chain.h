// Checking the certificate chain an https server presented, after the
// transfer and before its body is used. libcurl leaves the check to the TLS
// library; where that library may skip it (Wine's Schannel accepts any
// certificate when asked to validate automatically), the Windows build
// checks the chain itself against the machine's trusted roots.
#pragma once

#include <string>
#include <vector>

namespace velko::detail {

// Whether this platform checks the chain itself (and wants libcurl to keep
// the certificates for it).
bool ChecksServerChainItself();

// `pem_chain`: the server's certificates, leaf first, in PEM form. True when
// they chain to a trusted root and the leaf names `host` (for a server).
bool ServerChainIsTrusted(const std::vector<std::string>& pem_chain, const std::string& host);

}  // namespace velko::detail
