// Kernel sources are added by their families.
