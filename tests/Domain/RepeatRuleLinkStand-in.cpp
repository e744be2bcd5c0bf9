// Until the repeat arithmetic joins the Domain library, the manifest
// validation's reference to RepeatRule::validate needs a definition to link.
// This stand-in disappears as soon as the real one exists (and is weak, so a
// stale build can never clash with it). No test here passes a repeat rule.
#if !__has_include("Domain/RepeatArithmetic.cpp")
#include "Domain/Todo.h"

namespace quorrin {

[[gnu::weak]] void RepeatRule::validate() const {}

} // namespace quorrin
#endif
