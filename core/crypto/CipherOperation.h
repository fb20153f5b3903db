#pragma once

namespace nvx {

// The direction of a cipher operation, with the values callers pass (0 = encrypt, 1 = decrypt).
enum class CipherOperation { Encrypt = 0, Decrypt = 1 };

}  // namespace nvx
