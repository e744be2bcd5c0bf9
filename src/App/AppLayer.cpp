// Placeholder so the App layer library is never empty.
namespace quorrin { void AppLayerAnchor() {} }
