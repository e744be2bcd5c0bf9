// Placeholder so the Windows layer library is never empty.
namespace quorrin { void WindowsLayerAnchor() {} }
