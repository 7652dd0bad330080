// placeholder so the library builds until the surface lands
