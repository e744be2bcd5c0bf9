// Placeholder so the Persistence layer library is never empty.
namespace quorrin { void PersistenceLayerAnchor() {} }
