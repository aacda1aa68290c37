// Shared controls join this library as they are built.
