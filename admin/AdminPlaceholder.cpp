// Administration windows join this library as they are built.
