// Placeholder so the Platform layer library is never empty.
namespace quorrin { void PlatformLayerAnchor() {} }
