int xyz;
