function given = parse_named_options(args, names, caller)
% PARSE_NAMED_OPTIONS  The options of CALLER, given as one struct or as
% name/value pairs, as a struct whose fields are the matching NAMES (names
% match in any case; any other name is refused).
  given = struct();
  if numel(args) == 1
    if ~isstruct(args{1}) || numel(args{1}) ~= 1
      error([caller ':badOption'], ...
            'options must be one struct or name/value pairs, not a %s', class(args{1}));
    end
    fields = fieldnames(args{1});
    values = struct2cell(args{1});
  else
    if mod(numel(args), 2) ~= 0
      error([caller ':badOption'], 'options must come as name/value pairs');
    end
    fields = args(1:2:end);
    values = args(2:2:end);
  end
  for i = 1:numel(fields)
    if ~ischar(fields{i}) || size(fields{i}, 1) ~= 1
      error([caller ':badOption'], 'option names must be text');
    end
    match = find(strcmpi(fields{i}, names));
    if isempty(match)
      error([caller ':badOption'], 'unknown option ''%s''; the options are %s', ...
            fields{i}, strjoin(names, ', '));
    end
    given.(names{match}) = values{i};
  end
end
