#include "http_server_chain.h"

namespace velko::detail {

// The TLS library (OpenSSL here) checks the chain during the handshake.
bool ChecksServerChainItself() { return false; }

bool ServerChainIsTrusted(const std::vector<std::string>&, const std::string&) { return true; }

}  // namespace velko::detail
