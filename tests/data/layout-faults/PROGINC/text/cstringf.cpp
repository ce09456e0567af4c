int text;
