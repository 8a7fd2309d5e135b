// Placeholder for a folder that has no sources yet.
namespace { [[maybe_unused]] int kivoEmptyUnit = 0; }
