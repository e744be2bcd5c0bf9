// Placeholder so the Features layer library is never empty.
namespace quorrin { void FeaturesLayerAnchor() {} }
