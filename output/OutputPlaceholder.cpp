// Output services join this library as they are built.
