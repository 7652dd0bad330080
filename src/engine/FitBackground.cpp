// placeholder so the library builds until background fitting lands
