int stray;
