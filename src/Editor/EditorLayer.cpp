// Placeholder so the Editor layer library is never empty.
namespace quorrin { void EditorLayerAnchor() {} }
